// The configuration file: the discovery settings and, for reference, the devices shown.
// Loading gives back only the discovery settings.
#pragma once

#include "core/FilterSettings.h"

#include <QString>

#include <optional>
#include <vector>

class TDevice;

namespace ConfigFile {

// Larger files and deeper nesting are refused unread: a file for the largest fleet the
// console discovers stays far below.
constexpr qint64 MaxBytes = 16 * 1024 * 1024;
constexpr int MaxDepth = 16;

// False with the reason in error when the file could not be written; a file that existed
// stays as it was then.
bool Save(const QString& path, const Filter::TFilterSettings& settings, const std::vector<TDevice*>& devices,
          QString* error = nullptr);

struct TLoaded {
    // Without a Discovery element the settings are not meant to change.
    std::optional<Filter::TFilterSettings> Settings;
};
// Nothing when the file cannot be read or is not a harmless XML document.
std::optional<TLoaded> Load(const QString& path);

} // namespace ConfigFile
