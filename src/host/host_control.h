// The host's control object. The host hands it over with message 20001 and
// every call into the host goes through it. Operations sit at fixed positions
// of its table of virtual functions; unnamed positions are placeholders that
// keep the named ones in place. There is no virtual destructor: one would
// shift the table.
#pragma once

#include <windows.h>

#include "host/records.h"

class HostControl {
public:
    virtual int Reserved0() = 0;
    virtual int ownId() = 0;                  // 1: this plug-in's id
    virtual HINSTANCE appInstance() = 0;      // 2: instance for classes and windows
    virtual HINSTANCE moduleInstance() = 0;   // 3: the plug-in module
    virtual int infoFlag() = 0;               // 4: 1 suppresses the version text
    virtual int noResult(int value) = 0;      // 5: for messages not answered
    virtual int Reserved6() = 0;
    virtual intptr_t send(HostMessage* message) = 0;                 // 7
    virtual intptr_t sendTo(int pluginId, HostMessage* message) = 0;  // 8: 0 means ownId
    virtual int rowTest(int table, int row) = 0;                // 9
    virtual int rowId(int table, int row) = 0;                  // 10: position or id -> contact id
    virtual int Reserved11() = 0;
    virtual int Reserved12() = 0;
    virtual int Reserved13() = 0;
    virtual int Reserved14() = 0;
    virtual int Reserved15() = 0;
    virtual int Reserved16() = 0;
    virtual int Reserved17() = 0;
    virtual int Reserved18() = 0;
    virtual int Reserved19() = 0;
    virtual char* tempBuffer(int bytes) = 0;                                  // 20: host-owned
    // 21: the value; for a text column the text's address
    virtual intptr_t getColumn(int table, int row, int column, ColumnValue* v) = 0;
    virtual int setColumn(int table, int row, int column, ColumnValue* v) = 0;  // 22
    virtual int Reserved23() = 0;
    virtual int Reserved24() = 0;
    virtual int Reserved25() = 0;
    virtual int Reserved26() = 0;
    virtual int Reserved27() = 0;
    virtual int Reserved28() = 0;
    virtual int Reserved29() = 0;
    virtual int logEnabled(int level) = 0;  // 30
};
