#pragma once

#include <QAbstractItemModelTester>
#include <QStringList>

#include <memory>

// QAbstractItemModelTester for the observation models, whose roles are numbered from 0 where
// Qt's standard roles (display, tool tip, font, alignment, check state, ...) have their numbers.
// Every structural check applies and is collected; only the checks of the value types that the
// standard roles would carry at row 0 are left out, since those numbers hold the model's own
// roles. Assert that failures() is empty.
class ModelTester
{
public:
    explicit ModelTester(QAbstractItemModel *model);
    ~ModelTester();
    ModelTester(const ModelTester &) = delete;
    ModelTester &operator=(const ModelTester &) = delete;

    // Failed checks so far, as the tester words them.
    QStringList failures() const;

private:
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    int m_firstFailure;
};
