#include "import/PickleReader.h"

#include "import/ImportError.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace cellsonify {

const PickleValue* PickleValue::find(std::string_view key) const {
    if (!keyIndex) return nullptr;
    const auto it = keyIndex->find(key);
    return it == keyIndex->end() ? nullptr : it->second;
}

std::size_t PickleValue::elementCount() const {
    std::size_t n = 1;
    for (std::size_t d : shape) {
        if (d != 0 && n > std::numeric_limits<std::size_t>::max() / d) return std::numeric_limits<std::size_t>::max();
        n *= d;
    }
    return n;
}

class PickleParser {
public:
    PickleParser(std::string_view bytes, const std::string& name)
        : bytes_(bytes),
          name_(name),
          budget_(std::max(kLeastPickleBudget,
                           bytes.size() > SIZE_MAX / kPickleBytesPerFileByte ? SIZE_MAX
                                                                              : bytes.size() * kPickleBytesPerFileByte)) {}
    PickleDocument run();

private:
    using Kind = PickleValue::Kind;

    [[noreturn]] void fail(const std::string& problem) const {
        throw ImportError(name_, "pickled data: " + problem + " (at byte " + std::to_string(opStart_) + ")");
    }
    std::string_view take(std::size_t n) {
        if (n > bytes_.size() - pos_) fail("the data ends early");
        const std::string_view s = bytes_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    uint64_t littleEndian(std::size_t n) {
        const std::string_view s = take(n);
        uint64_t v = 0;
        for (std::size_t i = n; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(s[i]);
        return v;
    }
    std::string line() {
        const auto end = bytes_.find('\n', pos_);
        if (end == std::string_view::npos) fail("the data ends inside a name");
        std::string s(bytes_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return s;
    }
    // Counts `bytes` more of memory built, refusing the pickle past its budget.
    void charge(std::size_t bytes) {
        built_ += bytes;
        if (built_ > budget_)
            fail("builds more than " + std::to_string(budget_ >> 20) + " MB of values from " +
                 std::to_string(bytes_.size()) + " bytes, far more than a results file does");
    }
    PickleValue* make(Kind kind) {
        if (doc_.values_.size() >= kMostPickleValues) fail("holds more values than a results file does");
        charge(sizeof(PickleValue));
        doc_.values_.emplace_back();
        doc_.values_.back().kind = kind;
        return &doc_.values_.back();
    }
    void push(PickleValue* v) { stack_.push_back(v); }
    PickleValue* pop() {
        if (stack_.size() <= floor()) fail("an operation finds too few values");
        PickleValue* v = stack_.back();
        stack_.pop_back();
        return v;
    }
    PickleValue* top() {
        if (stack_.size() <= floor()) fail("an operation finds no value to work on");
        return stack_.back();
    }
    std::size_t floor() const { return marks_.empty() ? 0 : marks_.back(); }
    // The values above the last mark, removing them and the mark.
    std::vector<PickleValue*> popToMark() {
        if (marks_.empty()) fail("a MARK is missing");
        const std::size_t m = marks_.back();
        marks_.pop_back();
        std::vector<PickleValue*> items(stack_.begin() + static_cast<std::ptrdiff_t>(m), stack_.end());
        stack_.resize(m);
        return items;
    }
    PickleValue* tuple(std::vector<PickleValue*> items) {
        PickleValue* t = make(Kind::Tuple);
        charge(items.size() * sizeof(PickleValue*));
        t->items.assign(items.begin(), items.end());
        return t;
    }
    // A name the pickle refers to. NumPy's constructors are known; `_codecs`
    // offers only encode; anything else becomes an Opaque when called.
    PickleValue* global(const std::string& module, const std::string& name) {
        if (module == "_codecs" && name != "encode")
            fail("names '_codecs." + name + "'; only _codecs.encode(text, 'latin1') is read");
        PickleValue* g = make(Kind::Global);
        g->text = module + " " + name;
        return g;
    }
    // An inert record of calling `callable` with `args` (a tuple), which it
    // shares: a copy per call would let a few bytes of pickle repeat a large
    // tuple without end.
    PickleValue* opaque(PickleValue* callable, const PickleValue* args) {
        PickleValue* o = make(Kind::Opaque);
        o->text = callable->kind == Kind::Global || callable->kind == Kind::Opaque ? callable->text : "object";
        o->arguments = args;
        return o;
    }
    PickleValue* number(Kind kind, double v) {
        PickleValue* p = make(kind);
        p->number = v;
        return p;
    }
    PickleValue* text(Kind kind, std::string_view s) {
        PickleValue* p = make(kind);
        charge(s.size());
        p->text = s;
        return p;
    }
    // A little-endian two's complement integer of `digits` (LONG1, LONG4).
    double longInteger(std::string_view digits) {
        const std::size_t n = digits.size();
        double v = 0;
        for (std::size_t i = n; i-- > 0;) v = v * 256 + static_cast<unsigned char>(digits[i]);
        if (n > 0 && (static_cast<unsigned char>(digits[n - 1]) & 0x80))
            v -= std::ldexp(1.0, static_cast<int>(std::min<std::size_t>(8 * n, 2000)));
        return v;
    }
    // A decimal number on a line of its own (protocol 0's INT, LONG, FLOAT).
    double decimalLine() {
        std::string s = line();
        if (!s.empty() && s.back() == 'L') s.pop_back();
        if (s == "00") return 0;  // protocol 0's False and True
        if (s == "01") return 1;
        char* end = nullptr;
        const double v = std::strtod(s.c_str(), &end);
        if (s.empty() || end != s.c_str() + s.size()) fail("a number reads '" + s.substr(0, 40) + "'");
        return v;
    }
    std::size_t wholeLine() {
        const double v = decimalLine();
        if (!(v >= 0 && v < 1e15)) fail("a memo index is not a whole number");
        return static_cast<std::size_t>(v);
    }
    std::string quotedLine();
    std::string unicodeLine();
    PickleValue* codecsEncode(const PickleValue* args);
    PickleValue* fromBuffer(const std::vector<const PickleValue*>& a);
    void setItems(PickleValue* target, const std::vector<PickleValue*>& items);
    void appendItems(PickleValue* target, const std::vector<PickleValue*>& items);
    void memoize(uint64_t key) {
        if (memo_.size() >= kMostPickleValues) fail("stores more memo entries than a results file does");
        charge(kMemoEntryBytes);
        memo_[key] = top();
    }
    PickleValue* recall(uint64_t key) {
        const auto it = memo_.find(key);
        if (it == memo_.end()) fail("refers to memo entry " + std::to_string(key) + ", which was never stored");
        return it->second;
    }
    PickleValue* reduce(PickleValue* callable, PickleValue* args);
    void build(PickleValue* object, PickleValue* state);
    NpyType dtypeOf(const PickleValue* v) {
        if (v->kind != Kind::DType) fail("a NumPy array or scalar has no element type");
        return v->type;
    }

    std::string_view bytes_;
    const std::string& name_;
    std::size_t pos_ = 0;
    std::size_t opStart_ = 0;
    std::vector<const PickleValue*> unbuiltArrays_;  // made by _reconstruct, checked at STOP
    PickleDocument doc_;
    std::vector<PickleValue*> stack_;
    std::vector<std::size_t> marks_;
    std::unordered_map<uint64_t, PickleValue*> memo_;
    std::size_t budget_;     // bytes of values the pickle may build
    std::size_t built_ = 0;  // bytes built so far
    static constexpr std::size_t kMemoEntryBytes = 48;   // a hash map node and its bucket
    static constexpr std::size_t kIndexEntryBytes = 64;  // the same for a dict key
};

namespace {

bool isNumpy(const std::string& f, const char* name) {
    return f == std::string("numpy.core.multiarray ") + name || f == std::string("numpy._core.multiarray ") + name;
}

// UTF-8 text whose every character is below 256, as the bytes those characters are.
bool latin1Bytes(const std::string& utf8, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c == 0xc2 || c == 0xc3) && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) & 0xc0) == 0x80) {
            out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3f));
        } else {
            return false;
        }
    }
    return true;
}

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xc0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xe0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | ((c >> 18) & 0x07));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

// Protocol 0's STRING: a Python literal in quotes with backslash escapes.
std::string PickleParser::quotedLine() {
    const std::string s = line();
    if (s.size() < 2 || (s.front() != '\'' && s.front() != '"') || s.back() != s.front())
        fail("a protocol 0 string is not quoted");
    std::string out;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] != '\\' || i + 2 >= s.size()) {
            out += s[i];
            continue;
        }
        const char e = s[++i];
        switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'x': {
            const int hi = i + 1 < s.size() ? hexDigit(s[i + 1]) : -1, lo = i + 2 < s.size() ? hexDigit(s[i + 2]) : -1;
            if (hi < 0 || lo < 0) fail("a protocol 0 string has a bad \\x escape");
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: out += e;
        }
    }
    return out;
}

// Protocol 0's UNICODE: raw-unicode-escape text, to UTF-8.
std::string PickleParser::unicodeLine() {
    const std::string s = line();
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const std::size_t digits = s[i] == '\\' && i + 1 < s.size() ? (s[i + 1] == 'u' ? 4 : s[i + 1] == 'U' ? 8 : 0) : 0;
        if (digits && i + 2 + digits <= s.size()) {
            uint32_t c = 0;
            bool ok = true;
            for (std::size_t k = 0; k < digits; ++k) {
                const int h = hexDigit(s[i + 2 + k]);
                ok = ok && h >= 0;
                c = c * 16 + static_cast<uint32_t>(std::max(h, 0));
            }
            if (ok && c <= 0x10ffff) {
                appendUtf8(out, c);
                i += 1 + digits;
                continue;
            }
        }
        appendUtf8(out, static_cast<unsigned char>(s[i]));
    }
    return out;
}

// `_codecs.encode(text, 'latin1')`, as protocol 2 writes every byte string.
PickleValue* PickleParser::codecsEncode(const PickleValue* args) {
    std::string bytes;
    if (args->kind != Kind::Tuple || args->items.size() != 2 || args->items[0]->kind != Kind::Str ||
        args->items[1]->kind != Kind::Str || args->items[1]->text != "latin1" || !latin1Bytes(args->items[0]->text, bytes))
        fail("calls _codecs.encode with arguments other than (text, 'latin1'); it is not read");
    return text(Kind::Bytes, bytes);
}

// numpy.core.numeric._frombuffer(buffer, dtype, shape, order), protocol 5's arrays.
PickleValue* PickleParser::fromBuffer(const std::vector<const PickleValue*>& a) {
    if (a.size() != 4 || (a[0]->kind != Kind::Bytes && a[0]->kind != Kind::Str) || a[2]->kind != Kind::Tuple ||
        a[3]->kind != Kind::Str)
        fail("an array is rebuilt from a buffer with arguments it does not take");
    PickleValue* array = make(Kind::Array);
    array->type = dtypeOf(a[1]);
    if (array->type.kind == 'O') fail("an object array is rebuilt from a buffer");
    for (const PickleValue* d : a[2]->items) {
        if (d->kind != Kind::Int || d->number < 0 || d->number > 1e15) fail("an array's shape is not a tuple of whole numbers");
        array->shape.push_back(static_cast<std::size_t>(d->number));
    }
    array->fortranOrder = a[3]->text == "F";
    const std::size_t n = array->elementCount();
    if (n > a[0]->text.size() / static_cast<std::size_t>(array->type.size) ||
        n * static_cast<std::size_t>(array->type.size) != a[0]->text.size())
        fail("an array's data does not match its shape and type");
    charge(a[0]->text.size());
    array->data = a[0]->text;
    return array;
}

PickleValue* PickleParser::reduce(PickleValue* callable, PickleValue* args) {
    if (args->kind != Kind::Tuple) fail("REDUCE has arguments that are not a tuple");
    if (callable->kind != Kind::Global) return opaque(callable, args);
    const std::string& f = callable->text;
    const auto& a = args->items;
    if (f == "_codecs encode") return codecsEncode(args);
    if (isNumpy(f, "_reconstruct")) {
        if (a.size() != 3 || a[0]->kind != Kind::Global || a[0]->text != "numpy ndarray")
            return opaque(callable, args);  // a subclass of ndarray: kept as an inert record
        PickleValue* array = make(Kind::Array);
        array->type.kind = 0;  // set by BUILD
        unbuiltArrays_.push_back(array);
        return array;
    }
    if (f == "numpy dtype") {
        if (a.empty() || a[0]->kind != Kind::Str) fail("a dtype has no type name");
        PickleValue* d = make(Kind::DType);
        d->type = parseNpyType("<" + a[0]->text, name_);
        return d;
    }
    if (isNumpy(f, "scalar")) {
        if (a.size() != 2 || (a[1]->kind != Kind::Bytes && a[1]->kind != Kind::Str)) fail("a NumPy scalar has no value bytes");
        const NpyType t = dtypeOf(a[0]);
        if (t.kind == 'O' || a[1]->text.size() != static_cast<std::size_t>(t.size)) fail("a NumPy scalar's bytes do not match its type");
        PickleValue* s = make(Kind::Scalar);
        s->type = t;
        s->number = npyElement(a[1]->text.data(), t, 0);
        return s;
    }
    if (f == "numpy.core.numeric _frombuffer" || f == "numpy._core.numeric _frombuffer") return fromBuffer(a);
    return opaque(callable, args);
}

void PickleParser::build(PickleValue* object, PickleValue* state) {
    if (object->kind == Kind::Opaque) {
        object->state = state;
        return;
    }
    if (object->kind == Kind::Dict && state->kind == Kind::Dict) return;  // a dict subclass's attributes
    if (state->kind != Kind::Tuple) fail("BUILD has a state that is not a tuple");
    const auto& s = state->items;
    if (object->kind == Kind::DType) {
        if (s.size() < 2 || s[1]->kind != Kind::Str) fail("a dtype's state has no byte order");
        const std::string& order = s[1]->text;
        if (order == ">") object->type.bigEndian = true;
        else if (order == "<" || order == "|" || order == "=") object->type.bigEndian = false;
        else fail("a dtype has byte order '" + order + "'");
        return;
    }
    if (object->kind != Kind::Array || object->type.kind != 0) fail("BUILD sets the state of something that is not a new NumPy array");
    if (s.size() != 5 || s[1]->kind != Kind::Tuple) fail("an array's state is not (version, shape, dtype, order, data)");
    for (const PickleValue* d : s[1]->items) {
        if (d->kind != Kind::Int || d->number < 0 || d->number > 1e15) fail("an array's shape is not a tuple of whole numbers");
        object->shape.push_back(static_cast<std::size_t>(d->number));
    }
    object->type = dtypeOf(s[2]);
    object->fortranOrder = s[3]->kind == Kind::Bool && s[3]->number != 0;
    const std::size_t n = object->elementCount();
    if (object->type.kind == 'O') {
        if (s[4]->kind != Kind::List || s[4]->items.size() != n) fail("an object array's elements do not match its shape");
        charge(n * sizeof(PickleValue*));
        object->items = s[4]->items;
    } else {
        // Protocol 3+ stores the data as bytes; Python 2's pickles as a str of those bytes.
        if ((s[4]->kind != Kind::Bytes && s[4]->kind != Kind::Str) ||
            n > s[4]->text.size() / static_cast<std::size_t>(object->type.size) ||
            n * static_cast<std::size_t>(object->type.size) != s[4]->text.size())
            fail("an array's data does not match its shape and type");
        charge(s[4]->text.size());
        object->data = s[4]->text;
    }
}

void PickleParser::setItems(PickleValue* target, const std::vector<PickleValue*>& items) {
    if ((target->kind != Kind::Dict && target->kind != Kind::Opaque) || items.size() % 2 != 0)
        fail("SETITEMS on something that is not a dict");
    charge(items.size() / 2 * (sizeof(target->entries.front()) + kIndexEntryBytes));
    if (!target->keyIndex) target->keyIndex = std::make_unique<std::unordered_map<std::string_view, const PickleValue*>>();
    for (std::size_t i = 0; i < items.size(); i += 2) {
        target->entries.emplace_back(items[i], items[i + 1]);
        // The text of a value never changes once made, and values never move.
        if (items[i]->kind == Kind::Str) target->keyIndex->try_emplace(items[i]->text, items[i + 1]);
    }
}

void PickleParser::appendItems(PickleValue* target, const std::vector<PickleValue*>& items) {
    if (target->kind != Kind::List && target->kind != Kind::Opaque && target->kind != Kind::Set)
        fail("APPENDS to something that is not a list");
    charge(items.size() * sizeof(PickleValue*));
    target->items.insert(target->items.end(), items.begin(), items.end());
}

PickleDocument PickleParser::run() {
    for (;;) {
        opStart_ = pos_;
        const unsigned char op = static_cast<unsigned char>(take(1)[0]);
        switch (op) {
        case 0x80: take(1); break;                        // PROTO
        case 0x95: take(8); break;                        // FRAME
        case '(': marks_.push_back(stack_.size()); break;  // MARK
        case '.': {                                       // STOP
            if (stack_.size() != 1 || !marks_.empty()) fail("the data does not end with exactly one value");
            // An array never given its state has no type or data; read as numbers it would be garbage.
            for (const PickleValue* a : unbuiltArrays_)
                if (a->type.kind == 0) fail("a NumPy array is made but never given its data");
            doc_.root_ = stack_.back();
            return std::move(doc_);
        }
        case '0': pop(); break;                           // POP
        case '1': popToMark(); break;                     // POP_MARK
        case '2': charge(sizeof(PickleValue*)); push(top()); break;  // DUP
        case '}': push(make(Kind::Dict)); break;
        case ']': push(make(Kind::List)); break;
        case ')': push(make(Kind::Tuple)); break;
        case 0x8f: push(make(Kind::Set)); break;          // EMPTY_SET
        case 't': push(tuple(popToMark())); break;
        case 'l': {                                       // LIST
            PickleValue* l = make(Kind::List);
            const auto items = popToMark();
            charge(items.size() * sizeof(PickleValue*));
            l->items.assign(items.begin(), items.end());
            push(l);
            break;
        }
        case 0x91: {                                      // FROZENSET
            PickleValue* l = make(Kind::Set);
            const auto items = popToMark();
            charge(items.size() * sizeof(PickleValue*));
            l->items.assign(items.begin(), items.end());
            push(l);
            break;
        }
        case 'd': {                                       // DICT
            PickleValue* d = make(Kind::Dict);
            setItems(d, popToMark());
            push(d);
            break;
        }
        case 0x85: case 0x86: case 0x87: {
            const std::size_t n = op - 0x84u;
            std::vector<PickleValue*> items(n);
            for (std::size_t i = n; i-- > 0;) items[i] = pop();
            push(tuple(std::move(items)));
            break;
        }
        case 'J': push(number(Kind::Int, static_cast<int32_t>(littleEndian(4)))); break;
        case 'K': push(number(Kind::Int, static_cast<double>(littleEndian(1)))); break;
        case 'M': push(number(Kind::Int, static_cast<double>(littleEndian(2)))); break;
        case 0x8a: push(number(Kind::Int, longInteger(take(littleEndian(1))))); break;  // LONG1
        case 0x8b: {                                                                    // LONG4
            const auto n = static_cast<int32_t>(littleEndian(4));
            if (n < 0) fail("LONG4 has a negative length");
            push(number(Kind::Int, longInteger(take(static_cast<std::size_t>(n)))));
            break;
        }
        case 'I': case 'L': push(number(Kind::Int, decimalLine())); break;  // INT, LONG
        case 'F': push(number(Kind::Float, decimalLine())); break;          // FLOAT
        case 'G': {                                                         // BINFLOAT (big-endian)
            uint64_t bits = 0;
            for (char c : take(8)) bits = (bits << 8) | static_cast<unsigned char>(c);
            PickleValue* v = make(Kind::Float);
            std::memcpy(&v->number, &bits, 8);
            push(v);
            break;
        }
        case 'B': case 'C': case 0x8e: case 0x96:         // BINBYTES, SHORT_BINBYTES, BINBYTES8, BYTEARRAY8
            push(text(Kind::Bytes, take(littleEndian(op == 'C' ? 1 : op == 'B' ? 4 : 8))));
            break;
        case 'X': case 0x8c: case 0x8d:                   // BINUNICODE, SHORT_BINUNICODE, BINUNICODE8
            push(text(Kind::Str, take(littleEndian(op == 0x8c ? 1 : op == 'X' ? 4 : 8))));
            break;
        case 'T': case 'U': {                             // Python 2's BINSTRING, SHORT_BINSTRING
            const auto n = littleEndian(op == 'U' ? 1 : 4);
            if (op == 'T' && n > 0x7fffffffu) fail("BINSTRING has a negative length");
            push(text(Kind::Str, take(n)));
            break;
        }
        case 'S': push(text(Kind::Str, quotedLine())); break;  // STRING
        case 'V': push(text(Kind::Str, unicodeLine())); break;  // UNICODE
        case 'c': {
            const std::string module = line();
            const std::string name = line();
            push(global(module, name));
            break;
        }
        case 0x93: {
            PickleValue* name = pop();
            PickleValue* module = pop();
            if (name->kind != Kind::Str || module->kind != Kind::Str) fail("STACK_GLOBAL names are not strings");
            push(global(module->text, name->text));
            break;
        }
        case 'i': {                                       // INST: module, name, then the arguments above the mark
            const std::string module = line();
            const std::string name = line();
            PickleValue* cls = global(module, name);
            push(opaque(cls, tuple(popToMark())));
            break;
        }
        case 'o': {                                       // OBJ: class and arguments above the mark
            std::vector<PickleValue*> items = popToMark();
            if (items.empty()) fail("OBJ has no class");
            PickleValue* cls = items.front();
            items.erase(items.begin());
            push(opaque(cls, tuple(std::move(items))));
            break;
        }
        case 'R': {
            PickleValue* args = pop();
            PickleValue* callable = pop();
            push(reduce(callable, args));
            break;
        }
        case 0x81: {                                      // NEWOBJ: cls.__new__(cls, *args)
            PickleValue* args = pop();
            PickleValue* cls = pop();
            if (args->kind != Kind::Tuple) fail("NEWOBJ has arguments that are not a tuple");
            push(opaque(cls, args));
            break;
        }
        case 0x92: {                                      // NEWOBJ_EX: with keyword arguments
            PickleValue* kwargs = pop();
            PickleValue* args = pop();
            PickleValue* cls = pop();
            if (args->kind != Kind::Tuple || kwargs->kind != Kind::Dict) fail("NEWOBJ_EX has arguments that are not a tuple and a dict");
            PickleValue* o = opaque(cls, args);
            o->keywords = kwargs;  // shared, as the arguments are
            push(o);
            break;
        }
        case 0x82: case 0x83: case 0x84: {                // EXT1, EXT2, EXT4: a registered name, kept by its code
            const uint64_t code = littleEndian(op == 0x82 ? 1 : op == 0x83 ? 2 : 4);
            PickleValue* g = make(Kind::Global);
            g->text = "extension " + std::to_string(code);
            push(g);
            break;
        }
        case 'b': {
            PickleValue* state = pop();
            build(top(), state);
            break;
        }
        case 's': {
            PickleValue* value = pop();
            PickleValue* key = pop();
            setItems(top(), {key, value});
            break;
        }
        case 'u': {
            std::vector<PickleValue*> items = popToMark();
            setItems(top(), items);
            break;
        }
        case 'a': {
            PickleValue* value = pop();
            appendItems(top(), {value});
            break;
        }
        case 'e': case 0x90: {                            // APPENDS, ADDITEMS
            std::vector<PickleValue*> items = popToMark();
            appendItems(top(), items);
            break;
        }
        case 0x89: case 0x88: push(number(Kind::Bool, op == 0x88)); break;
        case 'N': push(make(Kind::None)); break;
        case 0x98: top(); break;                          // READONLY_BUFFER: the buffer stays as it is
        case 0x94: memoize(memo_.size()); break;
        case 'q': memoize(littleEndian(1)); break;
        case 'r': memoize(littleEndian(4)); break;
        case 'p': memoize(wholeLine()); break;
        case 'h': push(recall(littleEndian(1))); break;
        case 'j': push(recall(littleEndian(4))); break;
        case 'g': push(recall(wholeLine())); break;
        case 'P': case 'Q': fail("refers to a persistent object outside the file; it is not read");
        case 0x97: fail("refers to a buffer outside the file; it is not read");
        default: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02x", op);
            fail(std::string("opcode ") + hex + " is not a pickle opcode");
        }
        }
    }
}

PickleDocument parsePickle(std::string_view bytes, const std::string& name) { return PickleParser(bytes, name).run(); }

PickleDocument parseObjectNpy(std::string_view bytes, const std::string& name) {
    const NpyHeader h = parseNpyHeader(bytes, name);
    if (h.type.kind != 'O') throw ImportError(name, "holds numbers, not the Python objects expected");
    PickleDocument doc = parsePickle(bytes.substr(h.dataOffset), name);
    const PickleValue& root = doc.root();
    if (root.kind != PickleValue::Kind::Array || root.type.kind != 'O' || root.elementCount() != h.elementCount())
        throw ImportError(name, "the pickled data is not the object array its header describes");
    return doc;
}

}  // namespace cellsonify
