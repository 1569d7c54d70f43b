#include "config/syserror.h"

#include <cerrno>
#include <cstring>

namespace tcese {

std::string systemReason(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC: return "disco cheio";
        case EDQUOT: return "cota de disco excedida";
        case EACCES:
        case EPERM: return "permissão negada";
        case EROFS: return "disco somente para leitura";
        case EISDIR: return "é uma pasta, não um arquivo";
        case ENOTDIR: return "parte do caminho é um arquivo, não uma pasta";
        case ENOENT: return "arquivo ou pasta não existe";
        case EEXIST: return "já existe um arquivo com esse nome";
        case ENAMETOOLONG: return "nome longo demais";
        case EIO: return "erro de entrada e saída no disco";
        default: return std::strerror(errorNumber);
    }
}

}  // namespace tcese
