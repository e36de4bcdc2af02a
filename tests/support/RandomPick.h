#pragma once

#include <random>
#include <string>
#include <vector>

// One of a few values, so that randomized rows meet often.
inline std::string Pick(std::mt19937& random, const std::vector<std::string>& values) {
    return values[random() % values.size()];
}
