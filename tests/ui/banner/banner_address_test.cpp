// Which addresses the banner opens: the web and script, nothing that reaches
// the machine or another program, however the address is dressed up.
#include <gtest/gtest.h>

#include <string_view>

#include "ui/banner/banner_address.h"

namespace {

using namespace std::string_view_literals;

void ExpectOpens(std::initializer_list<std::wstring_view> urls, bool opens)
{
    for (std::wstring_view url : urls) {
        // Control characters made visible, so a failure names its case.
        std::string shown;
        for (wchar_t c : url)
            shown += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : "\\u" + std::to_string(c);
        EXPECT_EQ(opens, BannerMayOpen(url)) << shown;
    }
}

TEST(BannerAddress, WebAddressesAboutPagesAndScriptOpenInAnyCase)
{
    ExpectOpens({L"http://127.0.0.1/banner", L"https://127.0.0.1/", L"HTTP://HOST/", L"hTtPs://host/a?b#c",
                 L"http:relative", L"about:blank", L"ABOUT:BLANK", L"about:", L"javascript:void(0)",
                 L"JavaScript:go()"},
                true);
}

TEST(BannerAddress, FilesOtherSchemesAndAddressesWithoutASchemeAreRefused)
{
    ExpectOpens({// Local and shared files, also as the control reports them: a bare path.
                 L"file:///C:/windows/win.ini", L"FILE://server/share/setup.exe", L"C:\\windows\\win.ini",
                 L"c:/windows/win.ini", L"\\\\server\\share\\setup.exe", L"//server/share",
                 // Other programs' protocol handlers, built-in and custom.
                 L"mailto:someone@example.com", L"ms-settings:", L"ms-settings:windowsupdate", L"search-ms:query=x",
                 L"shell:startup", L"steam://run/1", L"lobby+custom.x-1:go",
                 // Schemes the browser handles itself but that are not the web.
                 L"ftp://127.0.0.1/file", L"res://ieframe.dll/navcancl.htm", L"mk:@MSITStore:C:\\a.chm::/a.htm",
                 L"ms-its:C:\\a.chm::/a.htm", L"vbscript:msgbox(1)", L"data:text/html,<b>x</b>",
                 L"view-source:http://127.0.0.1/", L"about-x:blank",
                 // Near misses and no scheme at all.
                 L"httpx://host/", L"https", L"http//host/", L":http://host/", L"1http://host/", L"/banner",
                 L"", L" ", L":"},
                false);
}

TEST(BannerAddress, SurroundingControlsAndSpacesAndInnerTabsAndLineBreaksAreDroppedAsBrowsersDo)
{
    ExpectOpens({L" \t\r\n http://host/ \r\n"sv, L"\x01\x1F" L"https://host/\x00"sv, L"\x0B" L"about:blank\x1F"sv,
                 L"ht\ttp://host/"sv, L"h\r\nttps://host/"sv, L"java\tscript:go()"sv, L"about\n:blank"sv},
                true);
    ExpectOpens({L" file:///C:/x"sv, L"\tmailto:a@b"sv, L"fi\tle:///C:/x"sv, L"ms-\nsettings:"sv,
                 L"\x01" L"C:\\x"sv,
                 // Only C0 controls and space go: other blanks and controls
                 // inside a scheme leave no scheme at all.
                 L"\x00A0http://host/"sv, L"\x3000https://host/"sv, L"h\x00ttp://host/"sv, L"ht\x0Btp://host/"sv,
                 // Letters that only look like, or fold into, ASCII ones.
                 L"\xFF48ttp://host/"sv, L"htt\x0440://host/"sv, L"java\x017F" L"cript:go()"sv},
                false);
}

}  // namespace
