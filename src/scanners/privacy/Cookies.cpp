#include "scanners/privacy/Cookies.h"

#include "platform/Helpers.h"
#include "scan/UserFolder.h"
#include "scanners/privacy/FileFindings.h"

namespace keltora {

namespace {

// clang-format off
constexpr std::string_view kKeywords[] = {
    "yahoo", "google", "adlog", "atdmt", "ads", "vnuemedia", "advertising", "casalemedia", "fastclick",
    "adknowledge", "pheedo", "doubleclick", "2mdn", "tribalfusion", "adserver", "eproof", "mercuras", "atwola",
    "cnn", "change", "tomshardware", "intellitxt", "falkag", "industrybrains", "tacoda", "trafficmp", "adimage",
    "adjs", "adx", "omniture", "popupjs", "zdnet", "chkpt", "zedo", "kliptracker", "dvlabs", "ru4", "imrworldwide",
    "overture", "banners", "a1", "yimg", "jazad", "aljazeera", "2o7", "insecure", "geocities", "geo", "pointroll",
    "servedby", "adtrix", "mediaplex", "gavzad", "keenspot", "kanoodle", "adbrite", "targetnet",
    "adframegenerator", "happy", "collegehumor", "shopping", "msn", "maxserving", "cneteu", "content", "search",
    "idg", "techworld", "advertpro", "washingtonpost", "bluestreak", "questionmarket", "media", "nyadmcncserve",
    "nytimes", "suitesmart", "ihost", "freeze", "metaconsult", "thinktarget", "myway", "marketbanker", "adsonar",
    "adrevolver", "directorym", "adcode", "special_ads", "yieldmanager", "mediaplazza", "ysbweb", "adonspot",
    "adframe", "targetpoint", "firstadsolution", "adzones", "torrentspy", "adview", "baventures", "bridgetrack",
    "revsci", "intelli-direct", "adClutter", "revenue", "adfetch", "adsys", "qksrv", "afcyhf", "linksynergy",
    "bfast", "tqlkg", "cc-dt", "ftjcfx", "lduhtrp", "awltovhc", "allposters", "tracking", "engadget",
    "relatedlabs", "appdb", "winehq", "dealtime", "adlegend", "business", "ctx", "mercury", "bravenet", "blogads",
    "adjuggler", "contextweb", "answers", "hitfarm", "popover", "tradedoubler", "shareasale", "tiser",
    "serving-sys", "reklama", "onet", "premiums", "mads", "adimages", "go", "adinsert", "3ps", "log", "utm",
    "adsfac", "adSwap", "deferAds", "advert", "images", "itnation", "chitika", "audiencematch", "publicus",
    "specificclick", "cpmstar", "popunder", "about", "forrestersurveys", "interclick", "centrport", "nbc29",
    "firstaffiliates", "newscientist", "kontera", "searchportal", "information", "oingo", "appliedsemantics",
    "euros4click", "adbureau", "pro-market", "valueclick", "dart", "chron", "layer-ads", "pandora", "hitbox",
    "affiliates", "newspaperads", "paypopup", "nextag", "brandconversions", "brightcove", "adsrevenue",
    "infinityads", "nationalgeographic", "comicgenesis", "topix", "eyewonder", "unicast",
};
// clang-format on
static_assert(std::size(kKeywords) == 192);

}  // namespace

std::span<const std::string_view> CookieKeywords() { return kKeywords; }

std::string_view CookieKeywordIn(std::string_view name) {
    for (auto keyword : kKeywords)
        if (name.find(keyword) != std::string_view::npos) return keyword;
    return {};
}

void Cookies::scan() {
    ScanRun run(context_, list(), FileColumns(kPathColumns));
    Platform& platform = context_.platform;
    std::vector<FoundPath> found;
    if (const auto folder = UserShellFolder(context_, "Cookies"))
        CollectEntries(platform, *folder, u"*.txt", found);
    context_.ramp(0, 30);
    std::erase_if(found, [](const FoundPath& file) { return CookieKeywordIn(file.file.name).empty(); });
    AddFileFindings(run, std::move(found), "All items listed in Cookies");
    context_.ramp(30, 100);
}

void Cookies::remove() { RemoveCheckedFiles(context_, list()); }

}  // namespace keltora
