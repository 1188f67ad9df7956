// Any reply a CD drive or the media command interpreter can give.
#include "fuzz_input.h"
#include "rules/text_rules.h"

#include <cmath>
#include <string>

using namespace solvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring reply = fuzz::wideText(data, size);
    const bool failed = cdReplyFailed(reply);
    const std::size_t cut = size > 0 ? data[0] % (reply.size() + 1) : 0;
    if (failed) {
        fuzz::require(cdReplyFailed(L"x" + reply + L"y"), "text around a failure keeps it one");
    } else {
        fuzz::require(!cdReplyFailed(reply.substr(0, cut)) && !cdReplyFailed(reply.substr(cut)),
                      "a part of a good reply is no failure");
    }
    fuzz::require(cdReplyFailed(reply.substr(0, cut) + L"eRr" + reply.substr(cut)), "an inserted ERR fails");
    const std::optional<double> track = cdReplyNumber(reply);
    if (track) {
        fuzz::require(std::isfinite(*track), "a track is a finite number");
        fuzz::require(!failed, "a number holds no ERR");
        fuzz::require(cdReplyNumber(L" " + reply + L" ") == track, "blanks around a reply do not count");
    }
    return 0;
}
