// Why the stand-in registry is not what the environment named, for platform::startupError():
// a registry file that turned out unusable, or a machine mount that failed. Readers report
// here; whoever loads or mounts the registry says when a mount begins.
#pragma once

#include <string>

namespace portable {

// Records why the registry file turned out unusable after start-up (an offline hive that
// is damaged where it was read); the first reason is kept (the store's lock held).
void reportRegistryFault(const std::string& message);
// The reason a start-up load failed (the store's lock held, or before anyone else has it).
void setStartupError(const std::string& message);

// A machine mounted on purpose (portable/machine_mount.h) takes the place of what the
// environment named: nothing is saved back any more, and earlier faults are forgotten; a
// mount that fails is reported by platform::startupError() (the store's lock held).
void beginMachineMount();
void setMountError(const std::string& message);
bool machineMounted();

}  // namespace portable
