#pragma once

#include <QString>

// Pages of the maker's web site. Every address the program uses is built here, from the
// site's base address compiled in (LUMICUT_SITE).
enum class SitePage { Home, VersionService, Help, Forum };

[[nodiscard]] QString siteUrl(SitePage page);

// The site's host name, as named to the user ("lumicut.example.org").
[[nodiscard]] QString siteName();
