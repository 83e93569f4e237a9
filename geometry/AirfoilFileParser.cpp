// Fields of a coordinate file. Kept apart from the reader so that it depends on
// nothing but the standard library.
#include "geometry/AirfoilFile.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace tavrix {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineBreak(char c) { return c == '\n' || c == '\r'; }
bool isSeparator(char c) { return isBlank(c) || isLineBreak(c) || c == ','; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

enum class NumberStatus { Ok, NotANumber, TooLarge };

struct ParsedNumber {
    NumberStatus status = NumberStatus::NotANumber;
    double value = 0;
};

// A plain decimal number, the whole field: sign, digits with at most one point
// (at least one digit), and an optional exponent E or e with its own sign and
// digits. No blanks, no hexadecimal, no "inf" or "nan".
ParsedNumber parsePlainNumber(std::string_view field)
{
    std::size_t i = 0;
    const std::size_t n = field.size();
    bool negative = false;
    if (i < n && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    const std::size_t mantissaBegin = i;
    std::size_t digits = 0;
    while (i < n && isDigit(field[i])) ++i, ++digits;
    const std::size_t intDigits = digits;
    if (i < n && field[i] == '.') {
        ++i;
        while (i < n && isDigit(field[i])) ++i, ++digits;
    }
    if (digits == 0) return {};
    const std::size_t mantissaEnd = i;

    long long exponent = 0;
    if (i < n && (field[i] == 'e' || field[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (field[i] == '+' || field[i] == '-')) {
            expNegative = field[i] == '-';
            ++i;
        }
        if (i == n || !isDigit(field[i])) return {};
        while (i < n && isDigit(field[i])) {
            if (exponent < 1000000000LL) exponent = exponent * 10 + (field[i] - '0');
            ++i;
        }
        if (expNegative) exponent = -exponent;
    }
    if (i != n) return {};

    // from_chars takes no leading plus sign; the sign is applied afterwards.
    double value = 0;
    const char* begin = field.data() + mantissaBegin;
    const auto result = std::from_chars(begin, field.data() + n, value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range one way or the other: the decimal order of the first
        // significant digit tells overflow from underflow (which reads as 0).
        long long order = static_cast<long long>(intDigits);
        bool significant = false;
        for (std::size_t k = mantissaBegin; k < mantissaEnd; ++k) {
            const char c = field[k];
            if (c == '.') continue;
            if (c != '0') {
                significant = true;
                break;
            }
            --order;
        }
        if (significant && order + exponent > 0) return {NumberStatus::TooLarge, 0};
        value = 0;
    } else if (result.ec != std::errc() || result.ptr != field.data() + n) {
        return {};
    }
    if (!std::isfinite(value)) return {NumberStatus::TooLarge, 0};
    return {NumberStatus::Ok, negative ? -value : value};
}

// A field as the user sees it in a message: not the whole of a long one.
std::string quoted(std::string_view field)
{
    constexpr std::size_t kShown = 40;
    std::string shown;
    if (field.size() <= kShown) {
        shown = field;
    } else {
        std::size_t cut = kShown;
        // Do not split a UTF-8 sequence.
        while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80) --cut;
        shown = std::string(field.substr(0, cut)) + "...";
    }
    return "\"" + shown + "\"";
}

class FieldReader {
public:
    FieldReader(std::string_view text, bool wholeFile) : text_(text), wholeFile_(wholeFile)
    {
        constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
        if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark)
            pos_ = kByteOrderMark.size();
    }

    enum class Outcome { Field, End, CutShort };

    // The name: a quoted text up to its closing quote, or the text up to the
    // next comma or line break without trailing blanks. Whatever follows a
    // closing quote up to the comma or line break belongs to the name field
    // and is dropped.
    Outcome readName(std::string& name, bool& unclosedQuote)
    {
        unclosedQuote = false;
        while (pos_ < text_.size() && (isBlank(text_[pos_]) || isLineBreak(text_[pos_])))
            advance();
        if (pos_ == text_.size()) return wholeFile_ ? Outcome::End : Outcome::CutShort;
        if (text_[pos_] == '"') {
            const std::size_t close = text_.find('"', pos_ + 1);
            if (close == std::string_view::npos) {
                unclosedQuote = wholeFile_;
                return wholeFile_ ? Outcome::End : Outcome::CutShort;
            }
            name = text_.substr(pos_ + 1, close - pos_ - 1);
            while (pos_ <= close) advance();
            while (pos_ < text_.size() && text_[pos_] != ',' && !isLineBreak(text_[pos_]))
                advance();
        } else {
            const std::size_t begin = pos_;
            while (pos_ < text_.size() && text_[pos_] != ',' && !isLineBreak(text_[pos_]))
                advance();
            std::size_t end = pos_;
            while (end > begin && isBlank(text_[end - 1])) --end;
            name = text_.substr(begin, end - begin);
        }
        if (pos_ == text_.size() && !wholeFile_) return Outcome::CutShort;
        return Outcome::Field;
    }

    // The next field after a run of separators, and the line it starts on.
    Outcome next(std::string_view& field, int& line)
    {
        while (pos_ < text_.size() && isSeparator(text_[pos_])) advance();
        if (pos_ == text_.size()) return wholeFile_ ? Outcome::End : Outcome::CutShort;
        const std::size_t begin = pos_;
        line = line_;
        while (pos_ < text_.size() && !isSeparator(text_[pos_])) ++pos_;
        // Only a separator proves that a field read from a cut text is whole.
        if (pos_ == text_.size() && !wholeFile_) return Outcome::CutShort;
        field = text_.substr(begin, pos_ - begin);
        return Outcome::Field;
    }

private:
    // Moves one character on, counting lines: LF, CR LF and a lone CR each end one.
    void advance()
    {
        const char c = text_[pos_++];
        if (c == '\n' || (c == '\r' && (pos_ == text_.size() || text_[pos_] != '\n'))) ++line_;
    }

    std::string_view text_;
    bool wholeFile_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

std::string cutShortReason()
{
    return "its point records do not end within the first " +
           std::to_string(kAirfoilFileReadLimit >> 20) + " MB of the file";
}

std::string rangeText()
{
    return "a whole number from " + std::to_string(kAirfoilFileMinPoints) + " to " +
           std::to_string(kAirfoilFileMaxPoints);
}

}  // namespace

std::variant<AirfoilFileContents, std::string> parseAirfoilFile(std::string_view text,
                                                                 bool wholeFile)
{
    using Outcome = FieldReader::Outcome;
    FieldReader reader(text, wholeFile);
    AirfoilFileContents contents;

    bool unclosedQuote = false;
    switch (reader.readName(contents.name, unclosedQuote)) {
    case Outcome::CutShort:
        return cutShortReason();
    case Outcome::End:
        if (unclosedQuote) return std::string("the quote that opens the name is never closed");
        return std::string("the file is empty");
    case Outcome::Field:
        break;
    }

    std::string_view field;
    int line = 0;
    switch (reader.next(field, line)) {
    case Outcome::CutShort:
        return cutShortReason();
    case Outcome::End:
        return std::string("the file holds no point count after the name");
    case Outcome::Field:
        break;
    }
    const ParsedNumber count = parsePlainNumber(field);
    if (count.status != NumberStatus::Ok || count.value != std::floor(count.value) ||
        count.value < kAirfoilFileMinPoints || count.value > kAirfoilFileMaxPoints) {
        return "the point count " + quoted(field) + " on line " + std::to_string(line) +
               " is not " + rangeText();
    }
    contents.count = static_cast<int>(count.value);
    contents.x.reserve(static_cast<std::size_t>(contents.count));
    contents.y.reserve(static_cast<std::size_t>(contents.count));

    static constexpr const char* kRoles[] = {"point number", "x", "y"};
    for (int record = 1; record <= contents.count; ++record) {
        for (int k = 0; k < 3; ++k) {
            switch (reader.next(field, line)) {
            case Outcome::CutShort:
                return cutShortReason();
            case Outcome::End:
                return "the file ends after " + std::to_string(record - 1) +
                       " complete point records, but its point count is " +
                       std::to_string(contents.count);
            case Outcome::Field:
                break;
            }
            const ParsedNumber number = parsePlainNumber(field);
            if (number.status != NumberStatus::Ok) {
                return "the " + std::string(kRoles[k]) + " of point record " +
                       std::to_string(record) + ", " + quoted(field) + " on line " +
                       std::to_string(line) +
                       (number.status == NumberStatus::TooLarge
                            ? ", is too large for a number"
                            : ", is not a plain decimal number");
            }
            if (k == 1) contents.x.push_back(number.value);
            if (k == 2) contents.y.push_back(number.value);
        }
    }
    return contents;
}

std::string airfoilFileRefusal(std::string_view path, std::string_view reason)
{
    return "Cannot read airfoil file \"" + std::string(path) + "\": " + std::string(reason);
}

}  // namespace tavrix
