#pragma once
// The export marker of the host's parameter-block library, which holds ClassDesc2.
#define PB2Export __attribute__((visibility("default")))
