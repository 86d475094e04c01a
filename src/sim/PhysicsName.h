// This build's physics by name, as recordings, links and snapshots carry it, so that a run of other
// physics is refused rather than played into a different world.
#pragma once
#include <string>

// "ode-VERSION REVISION".
std::string DescribePhysics();
// The same in one word, as a link's query carries it: "ode-VERSION-REVISION".
std::string DescribePhysicsWord();
