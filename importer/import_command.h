#pragma once
// The import command: reads a Vuk file and puts its mesh into the scene as a new node named after
// the file, with its material, maps, polygroup selection sets and creased edges.
#include <impapi.h>
#include <maxapi.h>

// Answers 1 when the node was added and dressed, 0 when the file could not be read, its record
// does not hold together, or the host or the heap refused something before the node entered the
// scene; a 0 leaves the scene as it was and its reason in the host's log, one entry. No
// exception leaves it.
int runImport(const MCHAR* name, ImpInterface* ii, Interface* ip) noexcept;
