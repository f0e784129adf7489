#pragma once

// Registers every C++ type that the interface's QML imports.
// Safe to call more than once.
void registerQmlTypes();
