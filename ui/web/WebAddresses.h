#pragma once

#include <array>
#include <string>

// The addresses the web panes use. Each is a build-time setting (a CMake cache variable) that an
// environment variable of the same name, when set and not empty, overrides:
//
//   KELPMERE_AD_CLICK_URL_1 .. _4   where the advertisement page's four pictures lead
//   KELPMERE_AD_IMAGE_URL_1, _2     the banner (795 x 100) and the square picture (300 x 300)
//   KELPMERE_SEARCH_HOST            the search site; the search pane shows <host>/search
//
// They are read when asked for, so a pane built at start-up sees the environment of the start.

struct AdAddresses {
    std::array<std::string, 4> click; // click addresses 1 .. 4
    std::array<std::string, 2> image; // image addresses 1 .. 2
};

AdAddresses ConfiguredAdAddresses();

// The configured search host followed by "/search" (a slash ending the host is not doubled).
std::string ConfiguredSearchAddress();
