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

    static QString favoritesFileName();   // "favorite_connections.json"
    static QString favoritesBuiltInCopy(); // an empty list among the resources
    // Creates the favourites file from the built-in copy unless it exists; logs each step.
    static bool createFavoritesIfMissing(const QString &path);
};
