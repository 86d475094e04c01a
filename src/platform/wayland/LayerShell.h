// wlr-layer-shell's client header, whose C names a parameter "namespace", a keyword in C++.
#pragma once
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
