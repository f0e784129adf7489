#pragma once

// Registers every C++ type that the interface's QML imports, and the style singleton.
// Safe to call more than once.
void registerQmlTypes();
