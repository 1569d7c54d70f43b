#pragma once
// The main window's database side: the connection and its named record sets.
#include <initializer_list>

#include "data/connection.h"
#include "data/recordset.h"

namespace tcese {

struct DataModule {
    Connection Conexao;
    RecordSet CdsGeral{"CdsGeral"};      // the main query of every file generator
    RecordSet CdsAux{"CdsAux"};          // short auxiliary queries
    RecordSet CdsXml{"CdsXml"};          // XML tables read by generators
    RecordSet XmlRec{"XmlRec"};          // the revenue code table
    RecordSet CdsLog{"CdsLog"};          // the generation log
    RecordSet CdsRelLog{"CdsRelLog"};    // the log loaded back for the report
    RecordSet CdsCliente{"CdsCliente"};  // "select * from cadcli"
    RecordSet CdsLogo{"CdsLogo"};        // "select * from logo"
    int lastApplyErrors = 0;             // rows the last apply failed to write

    // The save of the registration screens: post, apply inside sharedTransaction,
    // roll back when a row failed, else commit. Returns the failed rows. A connection
    // found lost (the server restarted) is opened again once and the save retried.
    int saveChanges(RecordSet& rs) {
        try {
            return saveOnce(rs);
        } catch (const DatabaseError& e) {
            if (!e.connectionLost()) throw;
        }
        Conexao.close();
        Conexao.connect();
        return saveOnce(rs);
    }

    int saveOnce(RecordSet& rs) {
        lastApplyErrors = 0;
        if (rs.mode() != RecordSet::Mode::Browse) rs.post();
        if (!Conexao.inTransaction()) Conexao.startTransaction();
        try {
            // The change log is merged only once the commit has made the rows permanent.
            if (rs.changeCount() > 0) lastApplyErrors = Conexao.applyUpdates(rs, -1, false);
        } catch (...) {
            Conexao.rollback();
            throw;
        }
        if (lastApplyErrors != 0) {
            Conexao.rollback();
        } else {
            Conexao.commit();
            rs.mergeChangeLog();
        }
        return lastApplyErrors;
    }

    void closeDataSets() {
        for (RecordSet* rs : {&CdsGeral, &CdsAux, &CdsXml, &XmlRec, &CdsLog, &CdsRelLog, &CdsCliente, &CdsLogo})
            rs->close();
    }
};

}  // namespace tcese
