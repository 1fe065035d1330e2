// Loads the XML parameter catalogue into a ParameterList.

#include <rapidxml.hpp>

#include <stdexcept>
#include <vector>

#include "IntegerText.h"
#include "ParameterList.h"
#include "ProgramText.h"
#include "TextArguments.h"

namespace {

using Node = rapidxml::xml_node<char>;

// A catalogue that cannot be taken as it is; the text names the place.
struct Rejected : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string Attribute(const Node* node, const char* name) {
    const rapidxml::xml_attribute<char>* a = node->first_attribute(name);
    return a ? std::string(a->value(), a->value_size()) : std::string();
}

std::string Where(const Node* node) {
    std::string where = k57::WithArguments(K57_TR("CatalogueLoader", "элемент <%1>"),
                                           {std::string_view(node->name(), node->name_size())});
    for (const char* id : {"key", "name"}) {
        std::string value = Attribute(node, id);
        bool ascii = !value.empty();
        for (unsigned char c : value) {
            ascii = ascii && c >= 0x20 && c < 0x7F;
        }
        if (ascii) {
            return where + " (" + id + "=\"" + value + "\")";
        }
    }
    return where;
}

std::string Required(const Node* node, const char* name) {
    if (!node->first_attribute(name)) {
        throw Rejected(k57::WithArguments(K57_TR("CatalogueLoader", "%1: нет атрибута \"%2\""),
                                          {Where(node), name}));
    }
    return Attribute(node, name);
}

int32_t RequiredInteger(const Node* node, const char* name) {
    std::string text = Required(node, name);
    int32_t value;
    if (!k57::ParseInteger(text, value)) {
        throw Rejected(k57::WithArguments(
            K57_TR("CatalogueLoader", "%1: атрибут \"%2\" не является целым числом"),
            {Where(node), name}));
    }
    return value;
}

ParameterType TypeOf(const Node* node) {
    std::string word = Required(node, "type");
    if (word == "string") {
        return ParameterType::String;
    }
    if (word == "number") {
        return ParameterType::Number;
    }
    if (word == "enum") {
        return ParameterType::Enum;
    }
    throw Rejected(k57::WithArguments(
        K57_TR("CatalogueLoader", "%1: неизвестный тип в атрибуте \"type\""), {Where(node)}));
}

// Replaces every `sequence` by `by`, including sequences that a removal
// joins ("\\" + "\\\r\n" + "\r\n"), in one pass: the text is rebuilt
// from the left and a sequence is replaced as soon as it ends the output.
void EraseAll(std::string& text, const std::string& sequence, const std::string& by) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (out.size() >= sequence.size() &&
            out.compare(out.size() - sequence.size(), sequence.size(), sequence) == 0) {
            out.resize(out.size() - sequence.size());
            out += by;
        }
    }
    text.swap(out);
}

// "\n" becomes a line feed; a backslash at the end of a physical line
// continues the value on the next one.
std::string Description(const Node* node) {
    std::string text = Attribute(node, "description");
    EraseAll(text, "\\n", "\n");
    EraseAll(text, "\\\r\n", "");
    return text;
}

}  // namespace

void ParameterList::LoadCatalogue(const std::string& catalogue) {
    groups_.clear();
    enums_.clear();
    parameters_.clear();
    loadError_.clear();

    std::vector<char> buffer(catalogue.begin(), catalogue.end());
    buffer.push_back('\0');
    rapidxml::xml_document<char> document;
    try {
        document.parse<0>(buffer.data());
        const Node* resources = document.first_node("resources");
        const Node* parameters = resources ? resources->first_node("parameters") : nullptr;
        if (!parameters) {
            return;
        }
        for (const Node* e = parameters->first_node("enum"); e; e = e->next_sibling("enum")) {
            if (!e->first_attribute("name")) {
                continue;
            }
            EnumValueList list(Attribute(e, "name"));
            for (const Node* item = e->first_node("item"); item;
                 item = item->next_sibling("item")) {
                list.Add(RequiredInteger(item, "value"), Attribute(item, "text"));
            }
            enums_.push_back(std::move(list));
        }
        for (const Node* g = parameters->first_node("group"); g; g = g->next_sibling("group")) {
            groups_.push_back({Attribute(g, "name"), Attribute(g, "after")});
            for (const Node* p = g->first_node("parameter"); p; p = p->next_sibling("parameter")) {
                parameters_.emplace_back(Attribute(p, "key"), TypeOf(p), Attribute(p, "enum"), "",
                                         Attribute(p, "default"), RequiredInteger(p, "min"),
                                         RequiredInteger(p, "max"), Attribute(p, "name"),
                                         Description(p), groups_.back().name);
            }
        }
    } catch (const rapidxml::parse_error& e) {
        loadError_ =
            k57::WithArguments(K57_TR("CatalogueLoader", "ошибка парсера: %1"), {e.what()});
    } catch (const Rejected& e) {
        loadError_ = k57::WithArguments(
            K57_TR("CatalogueLoader", "Каталог параметров не загружен: %1"), {e.what()});
    }
    if (!loadError_.empty()) {
        groups_.clear();
        enums_.clear();
        parameters_.clear();
    }
}
