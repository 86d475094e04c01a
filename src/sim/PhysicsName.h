// This build's physics by name, as recordings, links and snapshots carry it, so that a run of other
// physics is refused rather than played into a different world; and the world's fixed facts that a
// recording's header names. No ODE header: the relay names the physics too.
#pragma once
#include <string>

constexpr const char* kOdeVersion = "0.16.2";  // sim/Simulation.cpp holds it to ODE's own
// Raised with every change that makes the same commands give another world (the scene, the cars,
// the step, ODE's build), so that a recording made before is refused rather than played into a
// different run.
constexpr int kPhysicsRevision = 1;
constexpr float kWorldFall = -0.5f;  // the world's gravity along z, whatever the settings hold

// "ode-VERSION REVISION".
inline std::string DescribePhysics()
{
    return std::string("ode-") + kOdeVersion + " " + std::to_string(kPhysicsRevision);
}

// The same in one word, as a link's query carries it: "ode-VERSION-REVISION".
inline std::string DescribePhysicsWord()
{
    std::string word = DescribePhysics();
    word[word.find(' ')] = '-';
    return word;
}
