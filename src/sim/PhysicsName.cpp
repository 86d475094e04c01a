#include "sim/PhysicsName.h"

#include "physics/Scene.h"

std::string DescribePhysics()
{
    return std::string("ode-") + dODE_VERSION + " " + std::to_string(kPhysicsRevision);
}

std::string DescribePhysicsWord()
{
    std::string word = DescribePhysics();
    word[word.find(' ')] = '-';
    return word;
}
