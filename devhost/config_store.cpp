#include "config_store.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace DevHostLib {

namespace {
const std::string kEmpty;
}

ConfigStore::ConfigStore() {
    // The host's own integer columns that plug-ins read.
    hostColumns.push_back({0, 113, 0, "Host/FlashCount", 3, ""});
    hostColumns.push_back({0, 148, 0, "Host/KeepClosedWindows", 0, ""});
}

void ConfigStore::Declare(const ColumnInfo& info) {
    for (ColumnInfo& c : declared) {
        if (c.table == info.table && c.column == info.column) {
            c = info;
            return;
        }
    }
    declared.push_back(info);
}

const ColumnInfo* ConfigStore::Find(int table, int column) const {
    for (const ColumnInfo& c : declared)
        if (c.table == table && c.column == column) return &c;
    for (const ColumnInfo& c : hostColumns)
        if (c.table == table && c.column == column) return &c;
    return nullptr;
}

const ColumnInfo* ConfigStore::FindKey(const std::string& key) const {
    for (const ColumnInfo& c : declared)
        if (c.key == key) return &c;
    for (const ColumnInfo& c : hostColumns)
        if (c.key == key) return &c;
    return nullptr;
}

const ConfigStore::Value* ConfigStore::Get(int table, int row, int column) const {
    auto it = values.find(Cell{table, row, column});
    return it == values.end() ? nullptr : &it->second;
}

bool ConfigStore::HasValue(int table, int row, int column) const { return Get(table, row, column) != nullptr; }

int ConfigStore::Int(int table, int row, int column) const {
    if (const Value* v = Get(table, row, column)) return v->text ? std::atoi(v->str.c_str()) : v->number;
    const ColumnInfo* c = Find(table, column);
    return c ? c->intDefault : 0;
}

const std::string& ConfigStore::Text(int table, int row, int column) const {
    if (const Value* v = Get(table, row, column)) return v->str;
    const ColumnInfo* c = Find(table, column);
    return c ? c->textDefault : kEmpty;
}

void ConfigStore::SetInt(int table, int row, int column, int value) {
    Value& v = values[Cell{table, row, column}];
    v.text = false;
    v.number = value;
}

void ConfigStore::SetText(int table, int row, int column, const std::string& value) {
    Value& v = values[Cell{table, row, column}];
    v.text = true;
    v.str = value;
}

int ConfigStore::Int(const std::string& key) const {
    const ColumnInfo* c = FindKey(key);
    return c ? Int(c->table, 0, c->column) : 0;
}

std::string ConfigStore::Text(const std::string& key) const {
    const ColumnInfo* c = FindKey(key);
    return c ? Text(c->table, 0, c->column) : std::string();
}

void ConfigStore::SetInt(const std::string& key, int value) {
    if (const ColumnInfo* c = FindKey(key)) SetInt(c->table, 0, c->column, value);
}

void ConfigStore::SetText(const std::string& key, const std::string& value) {
    if (const ColumnInfo* c = FindKey(key)) SetText(c->table, 0, c->column, value);
}

// One value per line: table row column kind length:bytes. Texts are stored
// by length so any byte (0x01 separators included) survives.
std::string ConfigStore::Serialize() const {
    std::ostringstream out;
    for (const auto& [cell, v] : values) {
        out << std::get<0>(cell) << ' ' << std::get<1>(cell) << ' ' << std::get<2>(cell) << ' ';
        if (v.text)
            out << "s " << v.str.size() << ':' << v.str << '\n';
        else
            out << "i " << v.number << '\n';
    }
    return out.str();
}

void ConfigStore::Deserialize(const std::string& text) {
    std::istringstream in(text);
    while (in) {
        int table = 0, row = 0, column = 0;
        std::string kind;
        if (!(in >> table >> row >> column >> kind)) break;
        if (kind == "i") {
            int number = 0;
            if (!(in >> number)) break;
            SetInt(table, row, column, number);
        } else if (kind == "s") {
            size_t length = 0;
            char colon = 0;
            if (!(in >> length) || !in.get(colon) || colon != ':') break;
            std::string value(length, '\0');
            if (!in.read(&value[0], static_cast<std::streamsize>(length))) break;
            SetText(table, row, column, value);
        }
        in.ignore(1 << 20, '\n');
    }
}

bool ConfigStore::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    Deserialize(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    return true;
}

bool ConfigStore::Save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << Serialize();
    return static_cast<bool>(out);
}

}  // namespace DevHostLib
