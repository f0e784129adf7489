#pragma once

#include <QObject>
#include <QSignalSpy>
#include <QStringList>

#include <initializer_list>
#include <memory>
#include <vector>

// Expected emissions or log texts spelt as literals.
inline QStringList textList(std::initializer_list<const char *> items)
{
    QStringList out;
    for (const char *item : items)
        out << QString::fromUtf8(item);
    return out;
}

// Records the signals of several objects in the order they are emitted, as texts such as
// "cacheCountChanged(5)" (numbers, texts, bools and lists of texts spelt out; any other argument
// by its type name), so that a test row can spell the expected emissions in one list.
class SignalRecorder : public QObject
{
    Q_OBJECT

public:
    SignalRecorder() = default;

    // Every signal `object`'s own class declares (not those of its bases).
    void watch(QObject *object);
    const QStringList &emissions() const { return m_emissions; }
    void clear() { m_emissions.clear(); }

private slots:
    void record();

private:
    struct Watched
    {
        QObject *object;
        int signalIndex;
        std::unique_ptr<QSignalSpy> spy;
    };
    std::vector<Watched> m_watched;
    QStringList m_emissions;
};
