#pragma once
// Fixed-width fields of the export records and the small value helpers.
#include <string>
#include <string_view>

#include "engine/runcontext.h"

namespace tcese {

// One field of `width` characters by kind: "T" text, "I" identifier, "V2"/"V3"
// amounts with two/three implied decimals, "DP" amount without sign treatment,
// "D" date yyyymmdd from "dd/mm/yyyy". `flag` ("S"/"N") does not change the result.
// Empty text once a cancel was requested. A "V2"/"V3"/"DP" value that is not a
// number throws NumberError naming it.
std::string Ret(const RunContext& ctx, int width, std::string_view value, std::string_view flag, std::string_view kind);

std::string zero(int count, std::string_view text);
std::string vazio(int count);

std::string PEGANUMERO(std::string_view text);
std::string retorna_digito(std::string_view text);

// Last day of the month of ctx.monthCode as two digits; February by ctx.fiscalYear.
// Empty for "14". Throws NumberError when February's year is not a whole number.
std::string PegaDia(const RunContext& ctx, std::string_view month);
bool AnoBiSexto(int year);

}  // namespace tcese
