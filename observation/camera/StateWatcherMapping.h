#pragma once

#include "datamodel/params/SourceStateWatcher.h"

#include <QString>

// A named state watcher of a camera ("traffic_lights_mapping" and its siblings).
struct StateWatcherMapping
{
    QString name;
    kvr::tracker::common::SourceStateWatcher definition;
};
