#pragma once

#include <QString>

// The folder of the shell's own files ("config.ini", "favorite_connections.json") and their
// first creation out of the built-in copies. The steps log under "Launcher::init", the
// function the operator knows them by.
class ConfigDirectory
{
public:
    // The application's configuration folder, created when missing.
    static QString path();
    static QString filePath(const QString &fileName);
    static QString initFunction();

    // Copies of the resources are read-only; the shell writes them back later.
    static void makeWritable(const QString &path);

    // The log lines of one file's creation, each with "%1" for the path or the function.
    struct CreationTexts
    {
        QString where;    // the path, always
        QString creating; // the file is missing
        QString failed;   // the copy failed (an error)
    };
    // Copies `builtIn` to `path` unless a file is there, and makes the copy writable.
    static bool createFromBuiltIn(const QString &path, const QString &builtIn, const CreationTexts &texts);

    static QString favoritesFileName();   // "favorite_connections.json"
    static QString favoritesBuiltInCopy(); // an empty list among the resources
    // Creates the favourites file from the built-in copy unless it exists; logs each step.
    static bool createFavoritesIfMissing(const QString &path);
};
