#include "platform/SettingsStore.h"

#include "platform/Exceptions.h"
#include "platform/PendingFile.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

struct CSettingsStore::Node {
    std::string name; // as first written; the maps are keyed by the folded name
    std::map<std::string, std::unique_ptr<Node>> keys;
    std::map<std::string, std::pair<std::string, Value>> values;
};

namespace {

// A settings file is small; anything beyond this is not ours and is not read
// further (what was read so far is kept).
constexpr std::size_t kMaxFileBytes = 16u << 20;

using Node = CSettingsStore::Node;
using Value = CSettingsStore::Value;

std::string Fold(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

// Splits a key path into its names; false when a name is not valid.
bool SplitPath(std::string_view path, std::vector<std::string_view>& names)
{
    names.clear();
    if (path.empty())
        return true;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = path.find('\\', start);
        std::string_view name = path.substr(start, end == std::string_view::npos ? end : end - start);
        if (!CSettingsStore::IsValidKeyName(name))
            return false;
        names.push_back(name);
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

Node* FindNode(Node& root, std::string_view path)
{
    std::vector<std::string_view> names;
    if (!SplitPath(path, names))
        return nullptr;
    Node* node = &root;
    for (std::string_view name : names) {
        auto it = node->keys.find(Fold(name));
        if (it == node->keys.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

Node* CreateNode(Node& root, std::string_view path)
{
    std::vector<std::string_view> names;
    if (!SplitPath(path, names))
        return nullptr;
    Node* node = &root;
    for (std::string_view name : names) {
        auto& slot = node->keys[Fold(name)];
        if (!slot) {
            slot = std::make_unique<Node>();
            slot->name = std::string(name);
        }
        node = slot.get();
    }
    return node;
}

// ---- the file form --------------------------------------------------------

const char kHex[] = "0123456789ABCDEF";

void AppendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

void AppendHexBytes(std::string& out, const std::vector<BYTE>& data)
{
    for (BYTE b : data) {
        out += ' ';
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
}

void AppendNumber(std::string& out, std::uint64_t n)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    out.append(buffer, result.ptr);
}

// The text of a string kind when its bytes are exactly the text and one NUL.
bool AsPlainText(const std::vector<BYTE>& data, std::string_view& text)
{
    if (data.empty() || data.back() != 0)
        return false;
    text = std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1);
    return text.find('\0') == std::string_view::npos;
}

// The texts of a multi-string in its canonical form: each text and its NUL,
// then one more NUL; no texts at all is two NULs.
bool AsMultiText(const std::vector<BYTE>& data, std::vector<std::string_view>& texts)
{
    texts.clear();
    if (data.size() < 2 || data[data.size() - 1] != 0 || data[data.size() - 2] != 0)
        return false;
    if (data.size() == 2)
        return true;
    std::string_view all(reinterpret_cast<const char*>(data.data()), data.size() - 1);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\0', start);
        if (end == start)
            return false; // an empty text inside the list
        texts.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

std::uint32_t LittleDword(const std::vector<BYTE>& d)
{
    return std::uint32_t(d[0]) | std::uint32_t(d[1]) << 8 | std::uint32_t(d[2]) << 16 | std::uint32_t(d[3]) << 24;
}

std::uint32_t BigDword(const std::vector<BYTE>& d)
{
    return std::uint32_t(d[3]) | std::uint32_t(d[2]) << 8 | std::uint32_t(d[1]) << 16 | std::uint32_t(d[0]) << 24;
}

void AppendValue(std::string& out, const std::string& name, const Value& value)
{
    AppendQuoted(out, name);
    out += " = ";
    std::string_view text;
    std::vector<std::string_view> texts;
    switch (value.kind) {
    case CSettingsStore::kindString:
    case CSettingsStore::kindExpandString:
    case CSettingsStore::kindLink:
        if (AsPlainText(value.data, text)) {
            out += value.kind == CSettingsStore::kindString ? "string "
                : value.kind == CSettingsStore::kindExpandString ? "expand " : "link ";
            AppendQuoted(out, text);
            return;
        }
        break;
    case CSettingsStore::kindDword:
    case CSettingsStore::kindDwordBigEndian:
        if (value.data.size() == 4) {
            bool little = value.kind == CSettingsStore::kindDword;
            out += little ? "dword " : "dword-be ";
            AppendNumber(out, little ? LittleDword(value.data) : BigDword(value.data));
            return;
        }
        break;
    case CSettingsStore::kindBinary:
        out += "binary";
        AppendHexBytes(out, value.data);
        return;
    case CSettingsStore::kindMultiString:
        if (AsMultiText(value.data, texts)) {
            out += "multi";
            for (std::string_view t : texts) {
                out += ' ';
                AppendQuoted(out, t);
            }
            return;
        }
        break;
    default:
        break;
    }
    // Any kind whose bytes do not have the form that its name promises keeps
    // its bytes exactly.
    out += "hex:";
    AppendNumber(out, value.kind);
    AppendHexBytes(out, value.data);
}

void FormatNode(std::string& out, const Node& node, const std::string& path, bool isRoot)
{
    if (!node.values.empty() || (node.keys.empty() && !isRoot)) {
        out += '[';
        out += path;
        out += "]\n";
        for (const auto& [folded, entry] : node.values) {
            AppendValue(out, entry.first, entry.second);
            out += '\n';
        }
    }
    for (const auto& [folded, child] : node.keys)
        FormatNode(out, *child, isRoot ? child->name : path + '\\' + child->name, false);
}

// A cursor over one line of the file.
class LineParser {
public:
    explicit LineParser(std::string_view line) : m_line(line) {}

    void SkipBlanks()
    {
        while (m_pos < m_line.size() && (m_line[m_pos] == ' ' || m_line[m_pos] == '\t'))
            ++m_pos;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return m_pos >= m_line.size();
    }
    bool Expect(char c)
    {
        SkipBlanks();
        if (m_pos < m_line.size() && m_line[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool Word(std::string_view& word)
    {
        SkipBlanks();
        std::size_t start = m_pos;
        while (m_pos < m_line.size() && m_line[m_pos] != ' ' && m_line[m_pos] != '\t')
            ++m_pos;
        word = m_line.substr(start, m_pos - start);
        return !word.empty();
    }
    bool Quoted(std::string& text)
    {
        text.clear();
        if (!Expect('"'))
            return false;
        while (m_pos < m_line.size()) {
            char c = m_line[m_pos++];
            if (c == '"')
                return true;
            if (c != '\\') {
                text += c;
                continue;
            }
            if (m_pos >= m_line.size())
                return false;
            char e = m_line[m_pos++];
            switch (e) {
            case '\\': text += '\\'; break;
            case '"': text += '"'; break;
            case 'n': text += '\n'; break;
            case 'r': text += '\r'; break;
            case 't': text += '\t'; break;
            case 'x': {
                int hi, lo;
                if (m_pos + 2 > m_line.size() || (hi = HexDigit(m_line[m_pos])) < 0
                    || (lo = HexDigit(m_line[m_pos + 1])) < 0)
                    return false;
                text += char(hi << 4 | lo);
                m_pos += 2;
                break;
            }
            default:
                return false;
            }
        }
        return false; // no closing quote
    }
    bool HexBytes(std::vector<BYTE>& data)
    {
        std::string_view word;
        while (!AtEnd()) {
            int hi, lo;
            if (!Word(word) || word.size() != 2 || (hi = HexDigit(word[0])) < 0 || (lo = HexDigit(word[1])) < 0)
                return false;
            data.push_back(BYTE(hi << 4 | lo));
        }
        return true;
    }
    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

private:
    std::string_view m_line;
    std::size_t m_pos = 0;
};

bool ParseNumber(std::string_view word, std::uint32_t& n)
{
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        word.remove_prefix(2);
        base = 16;
    }
    auto result = std::from_chars(word.data(), word.data() + word.size(), n, base);
    return result.ec == std::errc() && result.ptr == word.data() + word.size();
}

void AppendText(std::vector<BYTE>& data, std::string_view text)
{
    data.insert(data.end(), text.begin(), text.end());
    data.push_back(0);
}

bool ParseValueLine(std::string_view line, std::string& name, Value& value)
{
    LineParser p(line);
    std::string_view kind;
    if (!p.Quoted(name) || !p.Expect('=') || !p.Word(kind))
        return false;
    value = Value{};
    std::string text;
    if (kind == "string" || kind == "expand" || kind == "link") {
        value.kind = kind == "string" ? CSettingsStore::kindString
            : kind == "expand"        ? CSettingsStore::kindExpandString
                                      : CSettingsStore::kindLink;
        if (!p.Quoted(text))
            return false;
        AppendText(value.data, text);
        return p.AtEnd();
    }
    if (kind == "dword" || kind == "dword-be") {
        std::string_view word;
        std::uint32_t n = 0;
        if (!p.Word(word) || !ParseNumber(word, n) || !p.AtEnd())
            return false;
        value.kind = kind == "dword" ? CSettingsStore::kindDword : CSettingsStore::kindDwordBigEndian;
        if (value.kind == CSettingsStore::kindDword)
            value.data = {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)};
        else
            value.data = {BYTE(n >> 24), BYTE(n >> 16), BYTE(n >> 8), BYTE(n)};
        return true;
    }
    if (kind == "binary") {
        value.kind = CSettingsStore::kindBinary;
        return p.HexBytes(value.data);
    }
    if (kind == "multi") {
        value.kind = CSettingsStore::kindMultiString;
        while (!p.AtEnd()) {
            if (!p.Quoted(text) || text.empty() || text.find('\0') != std::string::npos)
                return false;
            AppendText(value.data, text);
        }
        if (value.data.empty())
            value.data.push_back(0);
        value.data.push_back(0);
        return true;
    }
    if (kind.substr(0, 4) == "hex:") {
        std::uint32_t n = 0;
        if (!ParseNumber(kind.substr(4), n))
            return false;
        value.kind = n;
        return p.HexBytes(value.data);
    }
    return false;
}

std::size_t Parse(std::string_view text, Node& root)
{
    std::size_t errors = 0;
    Node* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;
        if (line.front() == '[') {
            current = line.back() == ']' ? CreateNode(root, line.substr(1, line.size() - 2)) : nullptr;
            if (!current)
                ++errors; // the values under a damaged header are dropped with it
            continue;
        }
        std::string name;
        Value value;
        if (!current || !ParseValueLine(line, name, value)) {
            ++errors;
            continue;
        }
        auto& slot = current->values[Fold(name)];
        if (slot.first.empty())
            slot.first = name;
        slot.second = std::move(value);
    }
    return errors;
}

// ---- files ----------------------------------------------------------------

std::string DirectoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool MakeDirectories(const std::string& dir)
{
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    std::string parent = DirectoryOf(dir);
    if (parent != dir && parent != "." && parent != "/" && !MakeDirectories(parent))
        return false;
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

CSettingsStore::CSettingsStore(std::string filePath, bool readOnly)
    : m_filePath(std::move(filePath)), m_readOnly(readOnly), m_root(std::make_unique<Node>())
{
}

CSettingsStore::~CSettingsStore() = default;

std::string CSettingsStore::UserConfigDir()
{
    std::string dir = EnvironmentValue("MARLOX_CONFIG_DIR");
    if (!dir.empty())
        return dir;
    dir = EnvironmentValue("XDG_CONFIG_HOME");
    if (!dir.empty() && dir.front() == '/') // a relative value is to be ignored
        return dir + "/Marlox";
    std::string home = EnvironmentValue("HOME");
    if (home.empty())
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            home = pw->pw_dir;
    return home + "/.config/Marlox";
}

std::string CSettingsStore::SystemConfigDir()
{
    std::string dir = EnvironmentValue("MARLOX_SYSTEM_CONFIG_DIR");
    return dir.empty() ? std::string("/etc/xdg/Marlox") : dir;
}

namespace {

CSettingsStore& StoreFor(const std::string& path, bool readOnly)
{
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<CSettingsStore>> stores;
    std::lock_guard lock(mutex);
    auto& slot = stores[path + (readOnly ? "\nr" : "\nw")];
    if (!slot)
        slot = std::make_unique<CSettingsStore>(path, readOnly);
    return *slot;
}

} // namespace

CSettingsStore& CSettingsStore::User() { return StoreFor(UserConfigDir() + '/' + kFileName, false); }

CSettingsStore& CSettingsStore::Machine() { return StoreFor(SystemConfigDir() + '/' + kFileName, true); }

bool CSettingsStore::IsValidKeyName(std::string_view name)
{
    if (name.empty())
        return false;
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (c == '\\' || c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

namespace {

// What tells one version of the file from another without reading it: every
// rewrite of ours renames a new file into place, so the inode changes even
// when size and times fall within one tick of the file system's clock.
CSettingsStore::FileStamp StampOf(const struct stat& st)
{
    return CSettingsStore::FileStamp{true, std::uint64_t(st.st_dev), std::uint64_t(st.st_ino),
                                     std::int64_t(st.st_size), std::int64_t(st.st_mtim.tv_sec),
                                     std::int64_t(st.st_mtim.tv_nsec), std::int64_t(st.st_ctim.tv_sec),
                                     std::int64_t(st.st_ctim.tv_nsec)};
}

CSettingsStore::FileStamp StampOfPath(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? StampOf(st) : CSettingsStore::FileStamp{};
}

} // namespace

void CSettingsStore::Refresh()
{
    // The file is read once and kept in memory; it is read again only when
    // another process (or another store over the same file) has replaced it.
    if (m_loaded && StampOfPath(m_filePath) == m_stamp)
        return;
    std::string text;
    FileStamp stamp;
    int fd = ::open(m_filePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            stamp = StampOf(st);
            char buffer[65536];
            while (text.size() < kMaxFileBytes) {
                ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, kMaxFileBytes - text.size()));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                text.append(buffer, std::size_t(n));
            }
        }
        ::close(fd);
    }
    m_stamp = stamp;
    if (m_loaded && text == m_text)
        return;
    m_root = std::make_unique<Node>();
    Parse(text, *m_root);
    m_text = std::move(text);
    m_loaded = true;
    ++m_reads;
}

std::string CSettingsStore::Format()
{
    std::lock_guard lock(m_mutex);
    Refresh();
    std::string out = "# Marlox settings\n";
    FormatNode(out, *m_root, std::string(), true);
    return out;
}

std::size_t CSettingsStore::CountParseErrors(std::string_view text)
{
    Node root;
    return Parse(text, root);
}

bool CSettingsStore::Save()
{
    std::string dir = DirectoryOf(m_filePath);
    if (!MakeDirectories(dir))
        return false;
    std::string text = "# Marlox settings\n";
    FormatNode(text, *m_root, std::string(), true);
    // Written beside the file and renamed over it, so that a reader (or a crash)
    // sees either the old file or the new one, never a part of it; a write
    // killed halfway leaves no temporary behind.
    CPendingFile::Temp temp;
    try {
        temp = CPendingFile::OpenTempBeside(m_filePath);
    } catch (const CFileException&) {
        return false;
    }
    bool ok = WriteAll(temp.fd, text) && ::fsync(temp.fd) == 0;
    if (ok) {
        try {
            CPendingFile::PutTempInPlace(temp, m_filePath);
        } catch (const CFileException&) {
            ok = false;
        }
    }
    ok = ::close(temp.fd) == 0 && ok;
    if (!ok) {
        if (!temp.path.empty())
            ::unlink(temp.path.c_str());
        return false;
    }
    m_text = std::move(text);
    m_stamp = StampOfPath(m_filePath);
    return true;
}

template <class Change> bool CSettingsStore::Modify(Change change)
{
    if (m_readOnly)
        return false;
    // Other processes change the same file: the lock keeps one's change from
    // being written over by another's that was read before it.
    int lockFd = -1;
    std::string dir = DirectoryOf(m_filePath);
    if (MakeDirectories(dir)) {
        lockFd = ::open((m_filePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd >= 0)
            while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    Refresh();
    bool ok = change(*m_root);
    if (ok && !Save()) {
        ok = false;
        m_loaded = false; // forget the change that did not reach the file
        Refresh();
    }
    if (lockFd >= 0)
        ::close(lockFd);
    return ok;
}

bool CSettingsStore::KeyExists(std::string_view keyPath)
{
    std::lock_guard lock(m_mutex);
    Refresh();
    return FindNode(*m_root, keyPath) != nullptr;
}

bool CSettingsStore::CreateKey(std::string_view keyPath)
{
    std::lock_guard lock(m_mutex);
    return Modify([&](Node& root) { return CreateNode(root, keyPath) != nullptr; });
}

bool CSettingsStore::GetValue(std::string_view keyPath, std::string_view valueName, Value& value)
{
    std::lock_guard lock(m_mutex);
    Refresh();
    Node* node = FindNode(*m_root, keyPath);
    if (!node)
        return false;
    auto it = node->values.find(Fold(valueName));
    if (it == node->values.end())
        return false;
    value = it->second.second;
    return true;
}

bool CSettingsStore::SetValue(std::string_view keyPath, std::string_view valueName, const Value& value)
{
    std::lock_guard lock(m_mutex);
    return Modify([&](Node& root) {
        Node* node = CreateNode(root, keyPath);
        if (!node)
            return false;
        auto& slot = node->values[Fold(valueName)];
        if (slot.first.empty())
            slot.first = std::string(valueName);
        slot.second = value;
        return true;
    });
}

bool CSettingsStore::DeleteValue(std::string_view keyPath, std::string_view valueName)
{
    std::lock_guard lock(m_mutex);
    return Modify([&](Node& root) {
        Node* node = FindNode(root, keyPath);
        return node && node->values.erase(Fold(valueName)) > 0;
    });
}

namespace {

bool DetachKey(Node& root, std::string_view keyPath, bool onlyEmpty)
{
    std::size_t slash = keyPath.rfind('\\');
    std::string_view parentPath = slash == std::string_view::npos ? std::string_view() : keyPath.substr(0, slash);
    std::string_view name = slash == std::string_view::npos ? keyPath : keyPath.substr(slash + 1);
    if (!CSettingsStore::IsValidKeyName(name))
        return false; // also refuses the root
    Node* parent = FindNode(root, parentPath);
    if (!parent)
        return false;
    auto it = parent->keys.find(Fold(name));
    if (it == parent->keys.end() || (onlyEmpty && !it->second->keys.empty()))
        return false;
    parent->keys.erase(it);
    return true;
}

} // namespace

bool CSettingsStore::DeleteKey(std::string_view keyPath)
{
    std::lock_guard lock(m_mutex);
    return Modify([&](Node& root) { return DetachKey(root, keyPath, true); });
}

bool CSettingsStore::DeleteTree(std::string_view keyPath)
{
    std::lock_guard lock(m_mutex);
    return Modify([&](Node& root) { return DetachKey(root, keyPath, false); });
}

bool CSettingsStore::GetSubkeyNames(std::string_view keyPath, std::vector<std::string>& names)
{
    std::lock_guard lock(m_mutex);
    Refresh();
    names.clear();
    Node* node = FindNode(*m_root, keyPath);
    if (!node)
        return false;
    for (const auto& [folded, child] : node->keys)
        names.push_back(child->name);
    return true;
}

bool CSettingsStore::GetValues(std::string_view keyPath, std::vector<std::pair<std::string, Value>>& values)
{
    std::lock_guard lock(m_mutex);
    Refresh();
    values.clear();
    Node* node = FindNode(*m_root, keyPath);
    if (!node)
        return false;
    for (const auto& [folded, entry] : node->values)
        values.push_back(entry);
    return true;
}
