#include "core/Errors.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

namespace Errors {

std::string reason(std::error_code code, bool writing)
{
    if (code.category() != std::generic_category() && code.category() != std::system_category()) return code.message();
    switch (code.value()) {
    case EACCES:
    case EPERM: return writing ? "the folder is read-only for you" : "you don't have permission to open it";
    case EROFS: return "the disk is read-only";
    case ENOSPC: return "the disk is full";
    case EDQUOT: return "your disk quota is used up";
    case EXDEV: return "the destination is on another disk";
    case ENOENT: return "it no longer exists";
    case EEXIST:
    case ENOTEMPTY: return "an item with that name is already there";
    case ENAMETOOLONG: return "the name is too long";
    case ENOTDIR: return "part of its path is not a folder";
    case EISDIR: return "it is a folder";
    case ELOOP: return "its links go round in a circle";
    case EBUSY:
    case ETXTBSY: return "it is in use";
    case EMFILE:
    case ENFILE: return "too many files are open — close some programs and try again";
    case ENOMEM: return "there isn't enough memory";
    case EIO: return "the disk reported an error";
    default: break;
    }
    std::string text = std::strerror(code.value());
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string userMessage(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const KError& e) {
        return e.message();
    } catch (const std::filesystem::filesystem_error& e) {
        const std::string name = e.path1().filename().string();
        if (!name.empty()) return "Couldn't use " + name + ": " + reason(e.code());
        return "The operation couldn't be completed: " + reason(e.code());
    } catch (const std::system_error& e) {
        return "The operation couldn't be completed: " + reason(e.code());
    } catch (const std::bad_alloc&) {
        return "There isn't enough memory to finish this";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "The operation couldn't be completed.";
    }
}

bool isCancel(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const UserCancelled&) {
        return true;
    } catch (...) {
        return false;
    }
}

}
