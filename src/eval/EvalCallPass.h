#pragma once
// The function-call pass over one text, shared by the rewriting and the compiler.
//
// The pass replaces calls one at a time, always the one that stands first in table order,
// then leftmost, in the text as it is after the replacements before it. Done literally, each
// replacement rescans and copies the whole text; here every name that may stand as a call is
// found once, and replacements are kept as intervals of the original text. A replacement
// changes which names stand as calls only right behind its ")": a name there now follows a
// blank. Everything else (the parentheses a call needs, the text its messages quote) is read
// from the text as it stands, so the result is the same as replacing one call at a time.

#include <concepts>
#include <string>
#include <string_view>
#include <type_traits>

namespace quorvel::evaltext {

// A call whose parentheses are missing or misplaced; the pass stops at the first one.
struct CallPassError {
    enum class Kind {
        None,
        OpeningExpectedButFound, // something other than blanks before the "("
        ClosingExpected,         // a "(" without its ")"
        OpeningExpected,         // no "(" at all
    };
    Kind kind = Kind::None;
    int function = -1;
    std::string found; // trimmed text between the name and the "(", as it stands
    std::string text;  // the whole text as it stands
};

// Evaluates one call and returns the text that replaces it (between two blanks). It only
// borrows the callable it is made from, which must outlive it; unlike a std::function it never
// allocates, and the compiler makes one for every text and call it compiles.
class CallEvaluator {
public:
    template <typename F>
    requires(!std::same_as<std::remove_cvref_t<F>, CallEvaluator>)
        CallEvaluator(const F& f) // implicit: callers pass a lambda
        : object_(&f), call_([](const void* object, int function, std::string_view arguments) {
              return (*static_cast<const F*>(object))(function, arguments);
          }) {}

    std::string operator()(int function, std::string_view arguments) const {
        return call_(object_, function, arguments);
    }

private:
    const void* object_;
    std::string (*call_)(const void*, int, std::string_view);
};

// Replaces every call in `text`. Returns whether anything was replaced (the result is then in
// `out`); on a malformed call, fills `error` and returns false.
bool ReduceCalls(std::string_view text, std::string& out, CallPassError& error,
                 const CallEvaluator& evaluate);

} // namespace quorvel::evaltext
