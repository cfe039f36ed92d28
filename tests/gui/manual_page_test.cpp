// The window's manual pages (packaging/varnex.<language>.1, written by hand) against the window:
// each names, in its language, every button the window shows and every item of its menu.
#include <gtest/gtest.h>
#include <wx/button.h>

#include <filesystem>

#include "gui/window_layout.h"
#include "app/window_texts.h"
#include "motion/motion_texts.h"
#include "scripted_window.h"
#include "test_support.h"

namespace varnex {

namespace {
// The page's source with the font escapes and roff's minus signs taken out.
std::string PageText(const std::filesystem::path& path) {
    std::string page = ReadFile(path.string());
    for (const char* escape : {"\\fB", "\\fI", "\\fR"}) {
        for (std::size_t at; (at = page.find(escape)) != std::string::npos;) page.erase(at, 3);
    }
    for (std::size_t at; (at = page.find("\\-")) != std::string::npos;) page.erase(at, 1);
    return page;
}

// A menu item as the user reads it: no mnemonic mark, no trailing "...", the key apart.
std::vector<std::string> ItemWords(std::string item) {
    std::erase(item, '&');
    std::vector<std::string> words;
    std::size_t tab = item.find('\t');
    if (tab != std::string::npos) {
        words.push_back(item.substr(tab + 1));
        item.erase(tab);
    }
    if (item.ends_with("...")) item.erase(item.size() - 3);
    words.push_back(item);
    return words;
}
}  // namespace

TEST(ManualPage, NamesEveryButtonAndMenuItemInItsLanguage) {
    CScriptedWindow window;
    int pages = 0;
    for (const std::string& language : window.Languages()) {
        std::filesystem::path path =
            std::filesystem::path(VARNEX_SOURCE_DIR) / "packaging" / ("varnex." + language + ".1");
        if (!std::filesystem::exists(path)) continue;
        ++pages;
        std::string page = PageText(path);
        ASSERT_TRUE(window.SetLanguage(language));
        const CTextCatalog& texts = window.Texts();
        std::vector<std::string> names;
        for (wxWindow* child : window.GetChildren()) {
            if (dynamic_cast<wxButton*>(child)) names.push_back(child->GetLabel().utf8_string());
        }
        EXPECT_EQ(names.size(), MAIN_BUTTONS.size());
        // The menu as CVarnexWindow::OnContextMenu builds it.
        std::vector<std::string> items = {texts.Tr(ABOUT_ITEM_TEXT), PreviewMenuText(texts),
                                          texts.Tr(QC_SET_ITEM_TEXT),
                                          texts.Tr(DEFAULT_SETTINGS_ITEM_TEXT)};
        for (const CHECKABLE_OPTION& option : CheckableOptions()) {
            items.push_back(option.menuText(texts));
        }
        for (const std::string& item : items) {
            for (const std::string& words : ItemWords(item)) names.push_back(words);
        }
        for (const std::string& name : names) {
            EXPECT_NE(page.find(name), std::string::npos) << path << " lacks \"" << name << '"';
        }
    }
    EXPECT_GE(pages, 2);
}

}  // namespace varnex
