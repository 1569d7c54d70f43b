#include "generators/catalogue.h"

#include "generators/baixaextra.h"
#include "generators/dispensas.h"
#include "generators/contas.h"
#include "generators/comissoes.h"
#include "generators/contratos.h"
#include "generators/convenios.h"
#include "generators/empenhos.h"
#include "generators/licitacoes.h"
#include "generators/liquidacoes.h"
#include "generators/obras.h"
#include "generators/participantes.h"
#include "generators/pagamentos.h"
#include "generators/unidgestora.h"
#include "generators/estrutura.h"
#include "generators/orcmto.h"
#include "generators/tesouraria.h"
#include "generators/vazios.h"

namespace tcese {

namespace {

// Steps not yet written by this version have no operation: the run lists them.
const CatalogueStep kAnnual[] = {
    {1, "Orcmto", "Orcmto", Orcmto, &kOrcmtoLayout},
    {2, "PrevRec", "PrevRec", PrevRec, &kPrevRecLayout},
    {3, "UnidOrc", "UnidOrc", UnidOrc, &kUnidOrcLayout},
    {4, "Projativ", "Projativ", Projativ, &kProjativLayout},
    {5, "Programa", "Programa", Programa, &kProgramaLayout},
    {6, "Orgao", "Orgao", Orgao, &kOrgaoLayout},
    {7, "Dotacao", "Dotacao", Dotacao, &kDotacaoLayout},
};

const CatalogueStep kMonthly[] = {
    {1, "AtUnGest", "ATUNGEST", AtUnGest, &kAtUnGestLayout},
    {2, "Ordena", "Ordena", Ordena, &kOrdenaLayout},
    {3, "RespCont", "RespCont", RespCont, &kRespContLayout},
    {4, "SbGovPre", "SbGovPre", emptyFile, nullptr},
    {5, "SbDepVer", "SbDepVer", emptyFile, nullptr},
    {6, "MesaDir", "MesaDir", emptyFile, nullptr},
    {7, "MesaMemb", "MesaMemb", emptyFile, nullptr},
    {8, "Comissao", "Comissao", Comissao, &kComissaoLayout},
    {9, "ComMemb", "ComMemb", ComMemb, &kComMembLayout},
    {10, "CadLegis", "CadLegis", emptyFile, nullptr},
    {11, "CadPart", "CadPart", CadPart, &kCadPartLayout},
    {12, "Contratos", "Contrato", Contratos, &kContratosLayout},
    {13, "AditCont", "AditCont", AditCont, &kAditContLayout},
    {14, "CertCont", "CertCont", emptyFileFullBar, nullptr},
    {15, "CnvCont", "CnvCont", emptyFileFullBar, nullptr},
    {16, "CnvOCont", "CnvOCont", emptyFileFullBar, nullptr},
    {17, "CancCont", "CancCont", CancCont, &kCancContLayout},
    {18, "PartCont", "PartCont", PartCont, &kPartContLayout},
    {19, "Convenio", "Convenio", Convenio, &kConvenioLayout},
    {20, "AditConv", "AditConv", AditConv, &kAditConvLayout},
    {21, "PartConv", "PartConv", PartConv, &kPartConvLayout},
    {22, "CertConv", "CertConv", emptyFile, nullptr},
    {23, "CancConv", "CancConv", emptyFile, nullptr},
    {24, "Bolsa", "Bolsa", emptyFile, nullptr},
    {25, "CancBols", "CancBols", emptyFile, nullptr},
    {26, "Conta", "Conta", Conta, &kContaLayout},
    {27, "FundAlt", "FundAlt", FundAlt, &kFundAltLayout},
    {28, "UnidOrc_mensal", "UnidOrc", UnidOrc_mensal, &kUnidOrcLayout},
    {29, "Projativ_Mensal", "Projativ", Projativ_Mensal, &kProjativLayout},
    {30, "Programa_Mensal", "Programa", Programa_Mensal, &kProgramaLayout},
    {31, "Orgao_Mensal", "Orgao", Orgao_Mensal, &kOrgaoLayout},
    {32, "FonteRec", "FonteRec", FonteRec, &kFonteRecLayout},
    {33, "AltOrc", "AltOrc", AltOrc, &kAltOrcLayout},
    {34, "Licit", "Licit", Licit, &kLicitLayout},
    {35, "PublLic", "PublLic", PublLic, &kPublLicLayout},
    {36, "ItemLic", "ItemLic", ItemLic, &kItemLicLayout},
    {37, "ConviLic", "ConviLic", ConviLic, &kConviLicLayout},
    {38, "PartLic", "PartLic", PartLic, &kPartLicLayout},
    {39, "CertLic", "CertLic", emptyFile, nullptr},
    {40, "ItemPart", "ItemPart", ItemPart, &kItemPartLayout},
    {41, "CnvLicit", "CnvLicit", emptyFile, nullptr},
    {42, "CnvOLici", "CnvOLici", emptyFile, nullptr},
    {43, "DotLicit", "DotLicit", DotLicit, &kDotLicitLayout},
    {44, "CancLic", "CancLic", emptyFile, nullptr},
    {45, "DispInex", "DispInex", DispInex, &kDispInexLayout},
    {46, "PartDisp", "PartDisp", PartDisp, &kPartDispLayout},
    {47, "ItemDisp", "ItemDisp", ItemDisp, &kItemDispLayout},
    {48, "CertDisp", "CertDisp", CertDisp, &kCertDispLayout},
    {49, "CnvDisp", "CnvDisp", CnvDisp, &kCnvDispLayout},
    {50, "CnvODisp", "CnvODis", CnvODisp, &kCnvODispLayout},
    {51, "CancDisp", "CancDisp", CancDisp, &kCancDispLayout},
    {52, "RespDisp", "RespDisp", RespDisp, &kRespDispLayout},
    {53, "Empenho", "Empenho", Empenho, &kEmpenhoLayout},
    {54, "ItemEmp", "ItemEmp", ItemEmp, &kItemEmpLayout},
    {55, "AnulaEmp", "AnulaEmp", AnulaEmp, &kAnulaEmpLayout},
    {56, "CancRest", "CancRest", CancRest, &kCancRestLayout},
    {57, "NotaPag", "NotaPag", NotaPag, &kNotaPagLayout},
    {58, "CertPag", "CertPag", emptyFile, nullptr},
    {59, "CtaPag", "CtaPag", CtaPag, &kCtaPagLayout},
    {60, "RetenEmp", "RetenEmp", RetenEmp, &kRetenEmpLayout},
    {61, "EstNotPg", "EstNotPg", EstNotPg, &kEstNotPgLayout},
    {62, "EstNotCt", "EstNotCt", EstNotCt, &kEstNotCtLayout},
    {63, "NotaLiq", "NotaLiq", NotaLiq, &kNotaLiqLayout},
    {64, "Nota", "Nota", Nota, &kNotaLayout},
    {65, "Recibo", "Recibo", emptyFile, nullptr},
    {66, "Folha", "Folha", Folha, &kFolhaLayout},
    {67, "Diaria", "Diaria", Diaria, &kDiariaLayout},
    {68, "Bilhete", "Bilhete", Bilhete, &kBilheteLayout},
    {69, "DocDiv", "DocDiv", emptyFile, nullptr},
    {70, "Repasse", "Repasse", emptyFile, nullptr},
    {71, "EstLiqPg", "EstLiqPg", EstLiqPg, &kEstLiqPgLayout},
    {72, "MovCont", "MovCont", MovCont, &kMovContLayout},
    {73, "Agencia", "Agencia", Agencia, &kAgenciaLayout},
    {74, "ContaBan", "ContaBan", ContaBan, &kContaBanLayout},
    {75, "Concilia", "Concilia", Concilia, &kConciliaLayout},
    {76, "ValConc", "ValConc", ValConc, &kValConcLayout},
    {77, "FundDiv", "FundDiv", emptyFile, nullptr},
    {78, "Fundada", "Fundada", emptyFile, nullptr},
    {79, "MovFund", "MovFund", emptyFile, nullptr},
    {80, "ArrecRec", "ArrecRec", ArrecRec, &kArrecRecLayout},
    {81, "DespEmpr", "DespEmpr", emptyFile, nullptr},
    {82, "NotaEmpr", "NotaEmpr", emptyFile, nullptr},
    {83, "RecEmpr", "RecEmpr", emptyFile, nullptr},
    {84, "FolhEmpr", "FolhEmpr", emptyFile, nullptr},
    {85, "DiarEmpr", "DiarEmpr", emptyFile, nullptr},
    {86, "BilhEmpr", "BilhEmpr", emptyFile, nullptr},
    {87, "DocEmpr", "DocEmpr", emptyFile, nullptr},
    {88, "RepEmpr", "RepEmpr", emptyFile, nullptr},
    {89, "CtPgEmpr", "CtPgEmpr", emptyFile, nullptr},
    {90, "ReteEmpr", "ReteEmpr", emptyFile, nullptr},
    {91, "CertEmpr", "CertEmpr", emptyFile, nullptr},
    {92, "EstEmpr", "EstEmpr", emptyFile, nullptr},
    {93, "ObraServ", "ObraServ", ObraServ, &kObraServLayout},
    {94, "LocObra", "LocObra", LocObra, &kLocObraLayout},
    {95, "EmprObra", "EmprObra", emptyFile, nullptr},
    {96, "RespObra", "RespObra", RespObra, &kRespObraLayout},
    {97, "ObraArt", "ObraArt", emptyFile, nullptr},
    {98, "OrdServ", "OrdServ", emptyFile, nullptr},
    {99, "AcomObra", "AcomObra", emptyFile, nullptr},
    {100, "OrdParal", "OrdParal", emptyFile, nullptr},
    {101, "TermObra", "TermObra", emptyFile, nullptr},
    {102, "ComTermo", "ComTermo", emptyFile, nullptr},
    {103, "ObraConv", "ObraConv", ObraConv, &kObraConvLayout},
    {104, "ObraOCnv", "ObraOConv", ObraOCnv, &kObraOCnvLayout},
    {105, "ObraCont", "ObraCont", ObraCont, &kObraContLayout},
    {106, "ObraOCnt", "ObraOCont", ObraOCnt, &kObraOCntLayout},
    {107, "AltObra", "AltObra", emptyFile, nullptr},
    {108, "Aliena", "Aliena", emptyFile, nullptr},
    {109, "PublAli", "PublAli", emptyFile, nullptr},
    {110, "LoteAli", "LoteAli", emptyFile, nullptr},
    {111, "ArremAli", "ArremAli", emptyFile, nullptr},
    {112, "LtArAli", "LtArAli", emptyFile, nullptr},
    {113, "GuiaRcLt", "GuiaRcLt", emptyFile, nullptr},
    {114, "RepConc", "RepConc", emptyFile, nullptr},
    {115, "Parcela", "Parcela", emptyFile, nullptr},
    {116, "RepPrest", "RepPrest", emptyFile, nullptr},
    {117, "Comprov", "Comprov", emptyFile, nullptr},
    {118, "LeiResp", "LeiResp", emptyFile, nullptr},
    {119, "Reajuste", "Reajuste", emptyFile, nullptr},
    {120, "ReGovPre", "ReGovPre", emptyFile, nullptr},
    {121, "ReVerDep", "ReVerDep", emptyFile, nullptr},
    {122, "BaixExtOrcReten", "BaixExtOrcReten", BaixExtOrcReten, &kBaixExtOrcRetenLayout},
    {123, "BaixExtOrcContPag", "BaixExtOrcContPag", BaixExtOrcContPag, &kBaixExtOrcContPagLayout},
    {124, "TerAnu", "TerAnu", emptyFile, nullptr},
    {125, "TerAnuMo", "TerAnuMo", emptyFile, nullptr},
};

}  // namespace

std::span<const CatalogueStep> annualCatalogue() { return kAnnual; }
std::span<const CatalogueStep> monthlyCatalogue() { return kMonthly; }

}  // namespace tcese
