#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

namespace platform {

// The modules beside the program hold what the window does not need to appear: the audio
// back end and the network stack, each with the Qt libraries under it. Each is loaded when
// it is first used, from the folder it was installed in (the program's own folder; a build
// folder in the tests), and stays loaded for the rest of the process.
//
// The address of `entry` in the module `name` (the file name without its suffix) in
// `folder`, or null when the module or its entry is missing.
QFunctionPointer resolveModuleEntry(const QString& folder, const char* name, const char* entry);

// What the module's entry `entry` (a function taking nothing and returning a new T) makes,
// owned by the caller; null when the module or its entry is missing.
template <typename T>
std::unique_ptr<T> createFromModule(const QString& folder, const char* name, const char* entry) {
    using Create = T* (*)();
    const auto create = reinterpret_cast<Create>(resolveModuleEntry(folder, name, entry));
    return std::unique_ptr<T>(create ? create() : nullptr);
}

}  // namespace platform
