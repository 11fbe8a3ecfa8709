#pragma once

// The web hosts every program of the suite opens pages on; the pages' paths stay
// with the code that opens them. Until the product has a site of its own the
// maker's hosts lie in the reserved ".example" domain, so no player's browser is
// sent to somebody else's site and the notification window falls back to its
// local page.
namespace WebHosts {
// The maker's main site: the help links, the About box and the notification page.
inline constexpr char MainSite[] = "http://www.dorvik.example";
// The maker's advertising host.
inline constexpr char AdSite[] = "http://ad.dorvik.example";
// The maker's search directory.
inline constexpr char SearchSite[] = "http://so.dorvik.example";
// The public web search engine the notification window's search box queries.
inline constexpr char SearchEngine[] = "http://www.baidu.com";
}
