#include "support/TestSupport.h"

#include <cstdio>
#include <stdexcept>

int RecordingReporter::Show(const ReportedMessage& message)
{
    messages.push_back(message);
    if (!m_answers.empty()) {
        int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return DefaultAnswer(message.type);
}

std::vector<UINT> RecordingReporter::Ids() const
{
    std::vector<UINT> ids;
    for (const auto& m : messages)
        ids.push_back(m.stringId);
    return ids;
}

Bytes StoreBytes(const std::function<void(CArchive&)>& body)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        body(ar);
        ar.Close();
    }
    return file.Detach();
}

std::size_t LoadBytes(const Bytes& bytes, const std::function<void(CArchive&)>& body)
{
    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load);
    body(ar);
    return std::size_t(ar.BytesRemaining());
}

Bytes HexBytes(const std::string& hex)
{
    Bytes out;
    int nibble = -1;
    for (char c : hex) {
        int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (v < 0)
            continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            out.push_back(BYTE(nibble * 16 + v));
            nibble = -1;
        }
    }
    return out;
}

std::string ReproPath(const std::string& name) { return std::string(MARLOX_REPRO_DIR) + "/" + name; }

Bytes ReadRepro(const std::string& name)
{
    std::FILE* f = std::fopen(ReproPath(name).c_str(), "rb");
    if (!f)
        throw std::runtime_error("missing test input " + name);
    Bytes bytes;
    BYTE buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

std::string ToHex(const Bytes& bytes)
{
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        out += buf;
    }
    return out;
}
