#include "core/platform/Launch.h"

#include <windows.h>

namespace Launch {

namespace {

std::wstring wide(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring result(size_t(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), result.data(), length);
    for (wchar_t& c : result)
        if (c == L'/')
            c = L'\\';
    return result;
}

std::string narrow(const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size_t(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), result.data(), length, nullptr, nullptr);
    for (char& c : result)
        if (c == '\\')
            c = '/';
    return result;
}

// A standard handle the started program inherits (ours may not be
// inheritable); none stays none.
HANDLE inheritable(DWORD which)
{
    const HANDLE own = ::GetStdHandle(which);
    HANDLE copy = nullptr;
    if (own == nullptr || own == INVALID_HANDLE_VALUE
        || !::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return own;
    return copy;
}

}  // namespace

std::string ownFolder()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (length == 0)
            return std::string();
        if (length < name.size()) {
            const std::string program = narrow(name.substr(0, length));
            return program.substr(0, program.rfind('/'));
        }
        name.resize(name.size() * 2);
    }
}

bool exists(const std::string& path)
{
    return ::GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program's folder under Program Files is the administrators'; runInPlace
// starts only a file at a full path.
std::string trustedProgram(const std::string& program, std::string&, int&)
{
    return program;
}

// The console shows what the program prints as UTF-8, as a command's own
// output does (Platform::prepareStandardStreams); its code page is given
// back afterwards. Only a file at a full path is started: given a bare or
// relative name, CreateProcess would look in the current folder.
int runInPlace(const std::string& program, char**, int& error)
{
    const std::wstring path = wide(program);
    const bool full = (path.size() > 2 && path[1] == L':' && path[2] == L'\\') || path.rfind(L"\\\\", 0) == 0;
    const DWORD attributes = full ? ::GetFileAttributesW(path.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = full && attributes == INVALID_FILE_ATTRIBUTES ? int(::GetLastError()) : ERROR_FILE_NOT_FOUND;
        return -1;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(STD_INPUT_HANDLE);
    startup.hStdOutput = inheritable(STD_OUTPUT_HANDLE);
    startup.hStdError = inheritable(STD_ERROR_HANDLE);
    std::wstring commandLine = ::GetCommandLineW();
    const UINT codePage = ::GetConsoleOutputCP();
    if (codePage != 0)
        ::SetConsoleOutputCP(CP_UTF8);
    PROCESS_INFORMATION started{};
    const BOOL ran = ::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &started);
    error = ran ? 0 : int(::GetLastError());
    DWORD status = 0;
    if (ran) {
        ::WaitForSingleObject(started.hProcess, INFINITE);
        ::GetExitCodeProcess(started.hProcess, &status);
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
    }
    if (codePage != 0)
        ::SetConsoleOutputCP(codePage);
    return ran ? int(status) : -1;
}

const char* reasonText(int error)
{
    switch (DWORD(error)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
        return "ファイルまたはフォルダーが見つかりません。";
    case ERROR_ACCESS_DENIED:
        return "アクセスする権限がありません。";
    case ERROR_WRITE_PROTECT:
        return "読み取り専用の場所のため書き込めません。";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "ディスクの空き容量が足りません。";
    case ERROR_DIRECTORY:
        return "途中の名前がフォルダーではありません。";
    case ERROR_FILENAME_EXCED_RANGE:
        return "名前が長すぎます。";
    case ERROR_INVALID_NAME:
        return "ファイル名に使えない文字を含んでいます。";
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return "ディスクの読み書きに失敗しました。";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "開いているファイルが多すぎます。";
    case ERROR_INVALID_HANDLE:
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return "出力先が閉じられています。";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        return "ほかのプログラムが使用中です。";
    default:
        return nullptr;
    }
}

}  // namespace Launch
