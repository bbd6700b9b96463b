#pragma once
#include "core/KavrelControllerMap.h"

#include <filesystem>

// The text file of learned controllers, shared by every instance on the machine: one
// "parameter controller" line per assignment, ascending controller, equal controllers in the
// order they were learned.
namespace kavrel::assignments {

constexpr const char* kFileName = "Kavrel MIDI Assignments.txt";

// Replaces the map's content with the file's when the file can be read; otherwise leaves the
// map alone. Lines that are not two numbers, or whose numbers are out of range, are skipped.
bool read(const std::filesystem::path& folder, KavrelControllerMap& map);

// Writes the whole map, creating the folder when missing. The new content goes to a temporary
// file in the same folder that then replaces the old file, so a failure never leaves a
// truncated file behind. False when nothing could be written.
bool write(const std::filesystem::path& folder, const KavrelControllerMap& map);

// Changes one assignment in the file as it is on disk now, keeping every other line: several
// instances (in one process or several) share the file, and each writing its own whole map
// would drop what the others learned. `controller` -1 removes every assignment of the
// parameter; otherwise controller -> parameter is added. False when nothing could be written.
bool update(const std::filesystem::path& folder, int controller, int parameter);

} // namespace kavrel::assignments
