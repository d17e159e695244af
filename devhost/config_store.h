// The host's configuration store: columns declared by plug-ins (and the
// host's own), typed values with defaults, one row in the configuration
// table and one row per contact in the contact table.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace DevHostLib {

struct ColumnInfo {
    int table = 0;
    int column = 0;
    int type = 0;  // as declared; bit 0 tells text from integer
    std::string key;
    int intDefault = 0;
    std::string textDefault;
    bool IsText() const { return (type & 1) != 0; }
};

class ConfigStore {
public:
    ConfigStore();

    void Declare(const ColumnInfo& info);
    const ColumnInfo* Find(int table, int column) const;
    const ColumnInfo* FindKey(const std::string& key) const;
    const std::vector<ColumnInfo>& Declarations() const { return declared; }

    int Int(int table, int row, int column) const;
    const std::string& Text(int table, int row, int column) const;
    void SetInt(int table, int row, int column, int value);
    void SetText(int table, int row, int column, const std::string& value);
    bool HasValue(int table, int row, int column) const;

    // Configuration-table values by key, for tests and the demo.
    int Int(const std::string& key) const;
    std::string Text(const std::string& key) const;
    void SetInt(const std::string& key, int value);
    void SetText(const std::string& key, const std::string& value);

    // A plain text form of every stored value, for keeping the store between
    // runs of the demo; unknown lines are skipped on load.
    std::string Serialize() const;
    void Deserialize(const std::string& text);
    // The same in a file of the host's own; Load is false (and changes
    // nothing) when there is no such file.
    bool Load(const std::string& path);
    bool Save(const std::string& path) const;

private:
    using Cell = std::tuple<int, int, int>;
    struct Value {
        bool text = false;
        int number = 0;
        std::string str;
    };
    const Value* Get(int table, int row, int column) const;

    std::vector<ColumnInfo> declared;
    std::vector<ColumnInfo> hostColumns;
    std::map<Cell, Value> values;
};

}  // namespace DevHostLib
