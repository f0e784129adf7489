#pragma once

#include <QProcessEnvironment>

// The texture atlas of the launcher's Qt Quick windows. Qt sizes it after the window when the
// scene graph starts: 2048x2048 pixels for a full-HD window, 16 MiB that software OpenGL keeps in
// the process, for a few small icons. Qt's own floor, 512x512, holds them. The size travels in
// Qt's environment variables: a size the user set stands, and programs the launcher starts get
// the environment without the launcher's own choice. GUI thread.
class TextureAtlasLimit
{
public:
    // Before the application object exists.
    static void apply();
    // The process environment less the variables apply() set.
    static QProcessEnvironment childEnvironment();
};
