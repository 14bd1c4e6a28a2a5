#pragma once

#include <string>

namespace sscplan {

// The application settings the server sends with "init", as texts (a number arrives as its
// decimal text, a missing member as the empty text).
struct InitSettings {
    std::string userurl;
    std::string drawurl;   // endpoint of the draw queries
    std::string newphase;  // address of the latest-period text
    std::string advert1;   // page of the web panel
    std::string advert2;
    std::string version;   // newest version offered
    std::string proupurl;  // update address handed to the updater
    std::string seo;

    bool operator==(const InitSettings&) const = default;
};

}  // namespace sscplan
