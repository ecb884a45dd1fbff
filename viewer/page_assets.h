// The page's template, style sheet and script, built into the program from
// viewer/page/ so that laplace-view needs no files of its own at run time.
#pragma once

#include <string_view>

namespace laplace::view::assets {

std::string_view page_html();  // with @TITLE@, @STYLE@, @DATA@ and @SCRIPT@ to fill in
std::string_view page_css();
std::string_view page_js();

}  // namespace laplace::view::assets
