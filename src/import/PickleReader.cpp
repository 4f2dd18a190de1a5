#include "import/PickleReader.h"

#include "import/ImportError.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace cellsonify {

const PickleValue* PickleValue::find(std::string_view key) const {
    for (const auto& [k, v] : entries)
        if (k->kind == Kind::Str && k->text == key) return v;
    return nullptr;
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
    PickleParser(std::string_view bytes, const std::string& name) : bytes_(bytes), name_(name) {}
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
    PickleValue* make(Kind kind) {
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
        t->items.assign(items.begin(), items.end());
        return t;
    }
    PickleValue* global(const std::string& module, const std::string& name) {
        static const char* const allowed[] = {
            "numpy.core.multiarray _reconstruct", "numpy._core.multiarray _reconstruct",
            "numpy.core.multiarray scalar", "numpy._core.multiarray scalar",
            "numpy ndarray", "numpy dtype"};
        const std::string full = module + " " + name;
        for (const char* a : allowed)
            if (full == a) {
                PickleValue* g = make(Kind::Global);
                g->text = full;
                return g;
            }
        fail("names '" + module + "." + name + "', which is not a NumPy array or scalar; it is not read");
    }
    void memoize(uint64_t key) { memo_[key] = top(); }
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
    PickleDocument doc_;
    std::vector<PickleValue*> stack_;
    std::vector<std::size_t> marks_;
    std::unordered_map<uint64_t, PickleValue*> memo_;
};

PickleValue* PickleParser::reduce(PickleValue* callable, PickleValue* args) {
    if (callable->kind != Kind::Global || args->kind != Kind::Tuple) fail("REDUCE calls something that is not a NumPy constructor");
    const std::string& f = callable->text;
    const auto& a = args->items;
    if (f.ends_with("_reconstruct")) {
        if (a.size() != 3 || a[0]->kind != Kind::Global || a[0]->text != "numpy ndarray")
            fail("an array is rebuilt from something other than numpy.ndarray");
        PickleValue* array = make(Kind::Array);
        array->type.kind = 0;  // set by BUILD
        return array;
    }
    if (f == "numpy dtype") {
        if (a.empty() || a[0]->kind != Kind::Str) fail("a dtype has no type name");
        PickleValue* d = make(Kind::DType);
        d->type = parseNpyType("<" + a[0]->text, name_);
        return d;
    }
    if (f.ends_with("scalar")) {
        if (a.size() != 2 || a[1]->kind != Kind::Bytes) fail("a NumPy scalar has no value bytes");
        const NpyType t = dtypeOf(a[0]);
        if (t.kind == 'O' || a[1]->text.size() != static_cast<std::size_t>(t.size)) fail("a NumPy scalar's bytes do not match its type");
        PickleValue* s = make(Kind::Scalar);
        s->type = t;
        s->number = npyElement(a[1]->text.data(), t, 0);
        return s;
    }
    fail("REDUCE calls " + f + " with arguments it does not take");
}

void PickleParser::build(PickleValue* object, PickleValue* state) {
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
        object->items = s[4]->items;
    } else {
        if (s[4]->kind != Kind::Bytes || n > s[4]->text.size() / static_cast<std::size_t>(object->type.size) ||
            n * static_cast<std::size_t>(object->type.size) != s[4]->text.size())
            fail("an array's data does not match its shape and type");
        object->data = s[4]->text;
    }
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
            doc_.root_ = stack_.back();
            return std::move(doc_);
        }
        case '}': push(make(Kind::Dict)); break;
        case ']': push(make(Kind::List)); break;
        case ')': push(make(Kind::Tuple)); break;
        case 't': push(tuple(popToMark())); break;
        case 0x85: case 0x86: case 0x87: {
            const std::size_t n = op - 0x84u;
            std::vector<PickleValue*> items(n);
            for (std::size_t i = n; i-- > 0;) items[i] = pop();
            push(tuple(std::move(items)));
            break;
        }
        case 'J': { PickleValue* v = make(Kind::Int); v->number = static_cast<int32_t>(littleEndian(4)); push(v); break; }
        case 'K': { PickleValue* v = make(Kind::Int); v->number = static_cast<double>(littleEndian(1)); push(v); break; }
        case 'M': { PickleValue* v = make(Kind::Int); v->number = static_cast<double>(littleEndian(2)); push(v); break; }
        case 0x8a: {  // LONG1: little-endian two's complement of n bytes
            const std::size_t n = littleEndian(1);
            const std::string_view digits = take(n);
            double v = 0;
            for (std::size_t i = n; i-- > 0;) v = v * 256 + static_cast<unsigned char>(digits[i]);
            if (n > 0 && (static_cast<unsigned char>(digits[n - 1]) & 0x80)) v -= std::ldexp(1.0, static_cast<int>(std::min<std::size_t>(8 * n, 2000)));
            PickleValue* p = make(Kind::Int);
            p->number = v;
            push(p);
            break;
        }
        case 'G': {
            uint64_t bits = 0;
            for (char c : take(8)) bits = (bits << 8) | static_cast<unsigned char>(c);
            PickleValue* v = make(Kind::Float);
            std::memcpy(&v->number, &bits, 8);
            push(v);
            break;
        }
        case 'B': case 'C': case 'X': case 0x8c: {
            const std::size_t n = littleEndian(op == 'B' || op == 'X' ? 4 : 1);
            PickleValue* v = make(op == 'B' || op == 'C' ? Kind::Bytes : Kind::Str);
            v->text = take(n);
            push(v);
            break;
        }
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
        case 'R': {
            PickleValue* args = pop();
            PickleValue* callable = pop();
            push(reduce(callable, args));
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
            PickleValue* dict = top();
            if (dict->kind != Kind::Dict) fail("SETITEM on something that is not a dict");
            dict->entries.emplace_back(key, value);
            break;
        }
        case 'u': {
            std::vector<PickleValue*> items = popToMark();
            PickleValue* dict = top();
            if (dict->kind != Kind::Dict || items.size() % 2 != 0) fail("SETITEMS on something that is not a dict");
            for (std::size_t i = 0; i < items.size(); i += 2) dict->entries.emplace_back(items[i], items[i + 1]);
            break;
        }
        case 'a': {
            PickleValue* value = pop();
            PickleValue* list = top();
            if (list->kind != Kind::List) fail("APPEND to something that is not a list");
            list->items.push_back(value);
            break;
        }
        case 'e': {
            std::vector<PickleValue*> items = popToMark();
            PickleValue* list = top();
            if (list->kind != Kind::List) fail("APPENDS to something that is not a list");
            list->items.insert(list->items.end(), items.begin(), items.end());
            break;
        }
        case 0x89: case 0x88: { PickleValue* v = make(Kind::Bool); v->number = op == 0x88; push(v); break; }
        case 'N': push(make(Kind::None)); break;
        case 0x94: memoize(memo_.size()); break;
        case 'q': memoize(littleEndian(1)); break;
        case 'r': memoize(littleEndian(4)); break;
        case 'h': push(recall(littleEndian(1))); break;
        case 'j': push(recall(littleEndian(4))); break;
        default: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02x", op);
            fail(std::string("opcode ") + hex + " is not one NumPy's object arrays use; it is not read");
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
