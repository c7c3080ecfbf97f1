#include "ui/web/WebAddresses.h"

#include "ui/web/WebAddressDefaults.h"

#include <cstdlib>

namespace {

std::string Configured(const char* name, const char* builtIn)
{
    const char* fromEnvironment = std::getenv(name);
    if (fromEnvironment != nullptr && *fromEnvironment != '\0')
        return fromEnvironment;
    return builtIn;
}

} // namespace

AdAddresses ConfiguredAdAddresses()
{
    AdAddresses addresses;
    addresses.click = {
        Configured("KELPMERE_AD_CLICK_URL_1", kDefaultAdClickUrl1),
        Configured("KELPMERE_AD_CLICK_URL_2", kDefaultAdClickUrl2),
        Configured("KELPMERE_AD_CLICK_URL_3", kDefaultAdClickUrl3),
        Configured("KELPMERE_AD_CLICK_URL_4", kDefaultAdClickUrl4),
    };
    addresses.image = {
        Configured("KELPMERE_AD_IMAGE_URL_1", kDefaultAdImageUrl1),
        Configured("KELPMERE_AD_IMAGE_URL_2", kDefaultAdImageUrl2),
    };
    return addresses;
}

std::string ConfiguredSearchAddress()
{
    std::string host = Configured("KELPMERE_SEARCH_HOST", kDefaultSearchHost);
    while (!host.empty() && host.back() == '/')
        host.pop_back();
    return host + "/search";
}
