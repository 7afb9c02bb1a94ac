#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmira {

// Cuts the first delimited field out of a settings file fed in pieces of any
// size, keeping only a bounded part of it, so that a file of any size is read
// in constant memory and only as far as the field goes.
//
// Leading spaces, tabs and line breaks are skipped. A field opening with a
// double quote runs to the next double quote (commas stay in it), or to the
// end of the file when none follows. Any other field runs to a comma, CR, LF
// or the end of the file and loses its trailing spaces and tabs. A full-width
// space is a character like any other and is kept.
//
// Code page 932 trail bytes never take the values of space, tab, quote,
// comma, CR or LF, so the field is cut on the raw bytes.
class FirstFieldScanner {
  public:
    // A prefecture name is three or four characters, eight bytes at most. A
    // field longer than this cap is kept as its first kMaxFieldBytes bytes:
    // cut or whole, it names no prefecture and counts as "other", so reading
    // it further would only cost memory (an unclosed quote runs on to the end
    // of the file, which may be any size).
    static constexpr std::size_t kMaxFieldBytes = 256;

    // Takes the next bytes of the file and returns how many of them it used:
    // all until the field ends, fewer once it has (the rest is not wanted).
    std::size_t Feed(std::string_view bytes);

    // True once the field has ended; later bytes cannot change it.
    bool Done() const { return state_ == State::Ended; }

    // The field, taking the bytes fed so far as the whole file (still code
    // page 932). Raises error 62 when they hold no field.
    std::string Field() const;

  private:
    enum class State { Leading, Quoted, Unquoted, Ended };

    void TakeQuoted(char byte);
    void TakeUnquoted(char byte);

    State state_ = State::Leading;
    bool quoted_ = false;
    // The field's first bytes, kMaxFieldBytes at most.
    std::string kept_;
    // kept_ without the blanks at its end: what an unquoted field yields.
    std::size_t contentSize_ = 0;
    // More of the field followed kept_ and was dropped.
    bool cut_ = false;
};

}  // namespace velmira
