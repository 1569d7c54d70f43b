#pragma once
// The entity's money: the month's movement of every ledger account (MovCont), bank
// branches (Agencia) and accounts (ContaBan), the bank reconciliation at the month's
// end (Concilia) with its reconciling items (ValConc), and revenue collected (ArrecRec).
#include <string>
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;
struct RunContext;

extern const Layout kMovContLayout;
extern const Layout kAgenciaLayout;
extern const Layout kContaBanLayout;
extern const Layout kConciliaLayout;
extern const Layout kValConcLayout;
extern const Layout kArrecRecLayout;

// The date CONCILIA takes, "dd.mm.yyyy" of the month's last day.
std::string reconciliationDate(const RunContext& ctx);

void MovCont(Exporter& ex, std::string_view fileName);
void Agencia(Exporter& ex, std::string_view fileName);
void ContaBan(Exporter& ex, std::string_view fileName);
void Concilia(Exporter& ex, std::string_view fileName);
void ValConc(Exporter& ex, std::string_view fileName);
void ArrecRec(Exporter& ex, std::string_view fileName);

}  // namespace tcese
