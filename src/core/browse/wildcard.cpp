#include "core/browse/wildcard.h"

#include "core/platform/code_page.h"

namespace harpoly {

namespace {

bool matchPlain(std::string_view p, std::string_view s, const CodePage& cp) {
    std::size_t pi = 0;
    std::size_t si = 0;
    // Where the last "*" was and how much of the name it has taken so far;
    // on a mismatch the star takes one more character and matching resumes.
    std::size_t starP = std::string_view::npos;
    std::size_t starS = 0;
    while (si < s.size()) {
        if (pi < p.size()) {
            if (p[pi] == '*') {
                starP = ++pi;
                starS = si;
                continue;
            }
            const std::size_t sl = cp.charLength(s, si);
            if (p[pi] == '?') {
                ++pi;
                si += sl;
                continue;
            }
            const std::size_t pl = cp.charLength(p, pi);
            if (pl == sl && p.compare(pi, pl, s.substr(si, sl)) == 0) {
                pi += pl;
                si += sl;
                continue;
            }
        }
        if (starP == std::string_view::npos) {
            return false;
        }
        starS += cp.charLength(s, starS);
        pi = starP;
        si = starS;
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

} // namespace

bool wildcardMatchLowered(std::string_view pattern, std::string_view name, const CodePage& cp) {
    // The common filters, answered without walking the name.
    if (pattern == "*" || pattern == "*.*") {
        return true;
    }
    if (pattern.size() > 1 && pattern[0] == '*' &&
        pattern.find_first_of("*?", 1) == std::string_view::npos) {
        const std::string_view tail = pattern.substr(1);
        return name.ends_with(tail) && cp.isCharBoundary(name, name.size() - tail.size());
    }
    if (matchPlain(pattern, name, cp)) {
        return true;
    }
    return pattern.size() >= 2 && pattern.ends_with(".*") &&
           cp.isCharBoundary(pattern, pattern.size() - 2) &&
           matchPlain(pattern.substr(0, pattern.size() - 2), name, cp);
}

bool wildcardMatch(std::string_view pattern, std::string_view name, const CodePage& cp) {
    return wildcardMatchLowered(cp.lower(pattern), cp.lower(name), cp);
}

SearchPattern splitSearchPattern(std::string_view displayFolder, std::string_view filterText,
                                 const CodePage& cp) {
    std::string whole(displayFolder);
    whole += filterText;
    const std::size_t slash = whole.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    // Only the name part is lower-cased: folder names are case-sensitive here.
    return {whole.substr(0, nameStart), cp.lower(std::string_view(whole).substr(nameStart))};
}

} // namespace harpoly
