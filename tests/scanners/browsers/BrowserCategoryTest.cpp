// The browser categories in the window on made-up profiles: what each finding names, what a
// removal takes and leaves, the browser that runs, the sites and profiles set aside for good.
#include <gtest/gtest.h>

#include <functional>

#include "scanners/PrivacyMachine.h"
#include "scanners/browsers/BrowserMachine.h"

namespace keltora::testing {
namespace {

const std::string kEdgeColumn = kEdgeProfile + "\\";
const std::string kEdgeState = R"({"profile":{"info_cache":{"Default":{"name":"Person 1"}}}})";

class BrowserCategories : public ::testing::Test {
protected:
    BrowserCategories() {
        MakeEdgeProfile(world.machine.files);
        world.machine.files.addTextFile(kEdgeData + "\\Local State", kEdgeState);
    }
    Category& edge() { return world.form->category("edge"); }
    // The page visit, as the Privacy menu's entry makes it; once scanned, its Refresh.
    std::vector<std::string> visit() {
        if (!world.form) world.start();
        Invoke(*world.form, edge().scannedOnce ? "OBedge4Click" : "MicrosoftEdge1Click");
        return Captions(edge().list());
    }
    std::size_t row(const std::string& caption) {
        const auto captions = Captions(edge().list());
        return static_cast<std::size_t>(std::find(captions.begin(), captions.end(), caption) - captions.begin());
    }
    std::int64_t cookies(const std::string& where = "1") {
        return CountRows(world.machine.files, kEdgeCookies, "SELECT count(*) FROM cookies WHERE " + where);
    }
    World world;
};

TEST_F(BrowserCategories, EachItemOfAProfileIsAFindingAndTheCheckedOnesGo) {
    EXPECT_EQ(visit(), (std::vector<std::string>{"Cache", "Code Cache", "GPU Cache", "Last session",
                                                 "Browsing history", "Download history", "Cookies: ads.example",
                                                 "Cookies: keep.example", "Cookies: login.keep.example",
                                                 "Cookies: tracker.example"}));
    TForm1& form = *world.form;
    EXPECT_EQ(form.statustext.caption(), "Status : Scanned Microsoft Edge");
    EXPECT_EQ(edge().list().columns(), (std::vector<Column>{{"Error Items", 180}, {"Repair Report", 160},
                                                            {"Detail Info", 220}, {"Path Location", 250},
                                                            {"Size", 100}}));
    EXPECT_EQ(edge().list().at(0).subItems, (std::vector<std::string>{"Privacy Threat(Remove)",
                                                                      "Microsoft Edge: Person 1 (Default), 1 file",
                                                                      kEdgeColumn, "300 bytes"}));
    EXPECT_EQ(edge().list().at(row("Cookies: tracker.example")).subItem(2),
              "Microsoft Edge: Person 1 (Default), 2 rows");
    EXPECT_EQ(form.lvall.at(28).subItem(1), "10");
    edge().list().setChecked(row("Cookies: ads.example"), false);
    Invoke(form, "OBedge3Click");
    EXPECT_EQ(form.statustext.caption(), "Status : Repaired Microsoft Edge");
    EXPECT_EQ(Captions(edge().list()), std::vector<std::string>{"Cookies: ads.example"});
    EXPECT_EQ(form.lvall.at(28).subItem(1), "1");
    EXPECT_EQ(cookies(), 1);
    EXPECT_EQ(cookies("host_key = 'ads.example'"), 1);
    EXPECT_EQ(CountRows(world.machine.files, kEdgeHistory, "SELECT count(*) FROM urls"), 0);
    EXPECT_FALSE(world.files().exists(kEdgeProfile + "\\Cache\\Cache_Data\\f_000001"));
    EXPECT_TRUE(world.files().exists(kEdgeProfile + "\\Bookmarks"));
    EXPECT_TRUE(world.files().exists("C:\\Important\\keep.doc"));
    EXPECT_TRUE(world.host.messages.empty()) << world.host.messages.front();
}

// What keeps the checked findings of a profile from going: the browser runs (its program in the
// session, its lock held by another process), a database it cannot know, a profile that is no
// longer the browser's by the time of the removal. Each is shown, never offered, and a removal
// of what the user checks all the same leaves it and says so; nothing else holds Edge back.
TEST_F(BrowserCategories, WhatKeepsTheFindingsOfAProfileAsTheyAre) {
    struct Row {
        const char* name;
        std::function<void(World&)> beforeScan;
        std::function<void(World&)> beforeRemoval;
        const char* report;  // of the cookie findings; nullptr: as ready ones
        const char* notice;  // the start of what the user is told; nullptr: nothing
        bool listedAfter;    // whether the cookie findings stay listed
        int cookiesAfter;    // of the five
        int left;            // findings the removal counts as left
    };
    const auto executeOnCookies = [](const char* sql) {
        return [sql](World& w) {
            auto opened = w.machine.files.openDatabase(Wide(kEdgeCookies), DatabaseAccess::ReadWrite);
            ASSERT_TRUE(opened.database && opened.database->execute(sql));
        };
    };
    const auto none = [](World&) {};
    const Row rows[] = {
        {"Edge runs", [](World& w) { w.machine.shell.programs->push_back(u"MSEDGE.EXE"); }, none,
         "Close Microsoft Edge to clean", "Microsoft Edge runs, so 10 of its findings were left", true, 5, 10},
        {"its lock is held",
         [](World& w) {
             w.machine.files.addFile(kEdgeData + "\\lockfile", 0);
             w.machine.files.lock(kEdgeData + "\\lockfile");
         },
         none, "Close Microsoft Edge to clean", "Microsoft Edge runs, so 10 of its findings were left", true, 5, 10},
        {"it starts after the scan", none,
         [](World& w) { w.machine.shell.programs->push_back(u"msedge.exe"); }, nullptr,
         "Microsoft Edge runs, so 4 of its findings were left", true, 5, 4},
        {"its cookies are of a version not known", executeOnCookies("UPDATE meta SET value = 99 WHERE key = 'version'"),
         none, "unknown version, left as it is", "1 checked finding of Microsoft Edge stayed listed. The first: "
                                                 "Cookies (unknown version, left as it is).", true, 5, 1},
        {"its profile is no longer listed by the removal", none,
         [](World& w) {
             w.machine.files.writeFile(kEdgeData + "\\Local State",
                                       R"({"profile":{"info_cache":{"Profile 9":{"name":"Other"}}}})");
         },
         nullptr, nullptr, false, 5, 0},
        {"another browser runs", [](World& w) { w.machine.shell.programs->push_back(u"chrome.exe"); }, none, nullptr,
         nullptr, false, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        MakeEdgeProfile(w.machine.files);
        w.machine.files.addTextFile(kEdgeData + "\\Local State", kEdgeState);
        row.beforeScan(w);
        TForm1& form = w.start();
        Invoke(form, "MicrosoftEdge1Click");
        Category& c = form.category("edge");
        for (const auto& finding : c.list().findings()) {
            if (!finding.caption.starts_with("Cookies")) continue;
            EXPECT_EQ(finding.subItem(1), row.report ? row.report : "Privacy Threat(Remove)") << finding.caption;
            EXPECT_EQ(finding.checked, row.report == nullptr) << finding.caption;
        }
        const auto before = w.machine.files.readFile(kEdgeCookies);
        c.list().setAllChecked(false);
        for (std::size_t i = 0; i < c.list().size(); ++i)
            if (c.list().at(i).caption.starts_with("Cookies")) c.list().setChecked(i, true);
        row.beforeRemoval(w);
        Invoke(form, "OBedge3Click");
        bool listed = false;
        for (const auto& finding : c.list().findings()) listed = listed || finding.caption.starts_with("Cookies");
        EXPECT_EQ(listed, row.listedAfter);
        EXPECT_EQ(form.lastRemoval.left, row.left);
        EXPECT_EQ(CountRows(w.machine.files, kEdgeCookies, "SELECT count(*) FROM cookies"), row.cookiesAfter);
        if (row.cookiesAfter == 5) {
            EXPECT_EQ(w.machine.files.readFile(kEdgeCookies), before);
        }
        if (row.notice) {
            ASSERT_EQ(w.host.messages.size(), 1u);
            EXPECT_TRUE(w.host.messages.front().starts_with(row.notice)) << w.host.messages.front();
        } else {
            EXPECT_TRUE(w.host.messages.empty()) << w.host.messages.front();
        }
    }
}

// A cookie site set aside keeps its cookies and its addresses in the history for good; any other
// finding set aside sets its whole profile aside. Both show on the category's ignored-items tab.
TEST_F(BrowserCategories, AnIgnoredSiteIsKeptAndAnyOtherIgnoredFindingKeepsItsProfile) {
    visit();
    edge().list().select(static_cast<int>(row("Cookies: keep.example")));
    Invoke(*world.form, "obedge2Click");
    EXPECT_EQ(visit(), (std::vector<std::string>{"Cache", "Code Cache", "GPU Cache", "Last session",
                                                 "Browsing history", "Download history", "Cookies: ads.example",
                                                 "Cookies: tracker.example"}));
    EXPECT_EQ(edge().list().at(row("Browsing history")).subItem(2), "Microsoft Edge: Person 1 (Default), 1 row");
    Invoke(*world.form, "OBedge3Click");
    EXPECT_EQ(cookies(), 2);  // keep.example and its subdomain
    EXPECT_EQ(CountRows(world.machine.files, kEdgeHistory, "SELECT count(*) FROM urls"), 2);
    EXPECT_EQ(CountRows(world.machine.files, kEdgeHistory, "SELECT count(*) FROM visits"), 2);

    world.machine.files.addFile(kEdgeProfile + "\\Cache\\Cache_Data\\f_000002", 30);
    EXPECT_EQ(visit(), std::vector<std::string>{"Cache"});
    edge().list().select(0);
    Invoke(*world.form, "obedge2Click");
    EXPECT_TRUE(visit().empty());
    const IgnoreList& ignored = *edge().ignoreList();
    EXPECT_EQ(Captions(ignored.view()), (std::vector<std::string>{"Cookies: keep.example", "Whole profile"}));
    EXPECT_EQ(ignored.view().at(1).subItem(1), kEdgeColumn);
    // Kept for good: a new start reads them back from the ignore file.
    world.start();
    EXPECT_TRUE(visit().empty());
}

// Site names are data: quotes, control characters and any Unicode are listed and removed as the
// sites they are, each by itself.
TEST_F(BrowserCategories, OddSiteNamesAreSitesLikeAnyOther) {
    const std::vector<std::string> odd = {"it's.example", "a\"b.example", "x\ny.example", "\xe4\xbe\x8b.example",
                                          "%.example", "_.example"};
    {
        auto opened = world.machine.files.openDatabase(Wide(kEdgeCookies), DatabaseAccess::ReadWrite);
        ASSERT_TRUE(opened.database);
        for (const auto& site : odd) ASSERT_TRUE(opened.database->execute(ChromiumCookie(site, "n").sql, {site, "n"}));
    }
    visit();
    for (std::size_t i = 0; i < edge().list().size(); ++i) {
        const Finding& finding = edge().list().at(i);
        // The one of Unicode by its exact name, which its ANSI caption cannot carry.
        edge().list().setChecked(i, finding.caption == "Cookies: " + odd[0] ||
                                        finding.caption == "Cookies: " + odd[2] || !finding.exactName.empty());
    }
    Invoke(*world.form, "OBedge3Click");
    EXPECT_EQ(cookies("host_key = 'it''s.example' OR host_key = 'x' || char(10) || 'y.example'"), 0);
    EXPECT_EQ(cookies("host_key = '\xe4\xbe\x8b.example'"), 0);
    for (const char* kept : {"a\"b.example", "%.example", "_.example"})
        EXPECT_EQ(cookies("host_key = '" + std::string(kept) + "'"), 1) << kept;
    EXPECT_EQ(cookies(), 5 + 3);
}

// Firefox: its profiles from profiles.ini, the cache apart from the profile, bookmarks whole; a
// profile whose path leaves the user's folders is listed nowhere and said.
TEST_F(BrowserCategories, FirefoxKeepsBookmarksAndListsNoProfileOutsideTheUsersFolders) {
    MakeFirefoxProfile(world.machine.files);
    world.machine.files.writeFile(kFirefoxData + "\\profiles.ini",
                                  "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/abc.default\n"
                                  "[Profile1]\nName=planted\nIsRelative=1\nPath=../../../../../Secret\n");
    world.machine.files.addFile("C:\\Secret\\sessionstore.jsonlz4", 5);
    TForm1& form = world.start();
    Invoke(form, "MozillaFirefox1Click");
    const Category& firefox = form.category("firefox");
    EXPECT_EQ(Captions(firefox.list()), (std::vector<std::string>{"Cache", "Last session", "Browsing history",
                                                                  "Cookies: keep.example", "Cookies: tracker.example",
                                                                  "Form history"}));
    EXPECT_EQ(firefox.notLookedAt(), "Not looked at: profiles.ini: the profile \"planted\" (../../../../../Secret) is "
                                     "outside the user's folders.");
    Invoke(form, "OBfirefox3Click");
    EXPECT_TRUE(firefox.list().empty());
    const std::string places = kFoxProfile + "\\places.sqlite";
    EXPECT_EQ(CountRows(world.machine.files, places, "SELECT count(*) FROM moz_bookmarks"), 2);
    EXPECT_EQ(CountRows(world.machine.files, places, "SELECT count(*) FROM moz_historyvisits"), 0);
    EXPECT_FALSE(world.files().exists(kFoxCache + "\\cache2\\entries\\0A1B"));
    EXPECT_TRUE(world.files().exists("C:\\Secret\\sessionstore.jsonlz4"));
}

}  // namespace
}  // namespace keltora::testing
