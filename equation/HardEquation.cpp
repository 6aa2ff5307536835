#include "equation/HardEquation.h"

#include "framework/ArchiveHelpers.h"
#include "framework/DoubleColumns.h"
#include "platform/Archive.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <dlfcn.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

IMPLEMENT_SERIAL(CHardEquation, CEquationBase, VERSIONABLE_SCHEMA | 0)

namespace {

std::mutex g_folderLock;
std::string g_userFolder;
std::string g_groupFolder;
// The user's answers about libraries this session, by canonical file; true: may load.
std::map<std::string, bool> g_answers;
std::atomic<bool> g_refuseLibraries{false};

std::string CanonicalFile(const std::string& file)
{
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(file, ec);
    return ec ? file : canonical.string();
}

// Whether file lies directly in folder (an empty folder holds nothing).
bool InFolder(const std::string& file, const std::string& folder)
{
    if (folder.empty())
        return false;
    return std::filesystem::path(CanonicalFile(file)).parent_path() == std::filesystem::path(CanonicalFile(folder));
}

// The file name and extension of a path written with either separator.
std::string FileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

template <class Proc>
Proc Symbol(void* module, const char* name)
{
    return reinterpret_cast<Proc>(dlsym(module, name));
}

struct TextBuffer {
    explicit TextBuffer(int size) : bytes(std::size_t(size), '\0') { text = {bytes.data(), size}; }
    std::string Get() const { return std::string(bytes.data()); }
    std::vector<char> bytes;
    MX4Text text;
};

MX4Vector View(CMyVector& v) { return {v.GetData(), v.GetSize()}; }

MX4Vector View(const CMyVector& v) { return {const_cast<double*>(v.GetData()), v.GetSize()}; }

} // namespace

CHardEquation::~CHardEquation() { Free(); }

void CHardEquation::SetLibraryFolders(std::string userFolder, std::string groupFolder)
{
    std::lock_guard lock(g_folderLock);
    g_userFolder = std::move(userFolder);
    g_groupFolder = std::move(groupFolder);
}

void CHardEquation::Free()
{
    m_pEstimates = nullptr;
    m_pDerivatives = nullptr;
    m_pCalculate = nullptr;
    if (m_hModule) {
        dlclose(m_hModule);
        m_hModule = nullptr;
    }
    m_strLoadedFile.clear();
}

void CHardEquation::Unload()
{
    m_bValid = false;
    m_strYName.clear();
    m_paramNames.clear();
    m_paramLabels.clear();
    m_xNames.clear();
    m_xLabels.clear();
    m_constNames.clear();
    m_constLabels.clear();
    m_paramDefs.clear();
    m_strDescription.clear();
    Free();
}

std::vector<std::string> CHardEquation::Candidates(const std::string& path)
{
    std::string user, group;
    {
        std::lock_guard lock(g_folderLock);
        user = g_userFolder;
        group = g_groupFolder;
    }
    const std::string name = FileName(path);
    std::vector<std::string> candidates;
    if (!user.empty())
        candidates.push_back(Join(user, name));
    if (!group.empty())
        candidates.push_back(Join(group, name));
    candidates.push_back(path);
    return candidates;
}

void CHardEquation::RefuseLibraries() { g_refuseLibraries = true; }

bool CHardEquation::IsLibraryTrusted(const std::string& path)
{
    if (g_refuseLibraries)
        return false;
    std::string user, group;
    {
        std::lock_guard lock(g_folderLock);
        user = g_userFolder;
        group = g_groupFolder;
    }
    for (const std::string& file : Candidates(path)) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec))
            continue;
        // The file that would load decides.
        if (InFolder(file, user) || InFolder(file, group))
            return true;
        std::lock_guard lock(g_folderLock);
        const auto it = g_answers.find(CanonicalFile(file));
        return it != g_answers.end() && it->second;
    }
    // No file loads from this path: nothing of it would run.
    return true;
}

bool CHardEquation::MayLoadLibrary(const std::string& path)
{
    if (g_refuseLibraries)
        return false;
    if (IsLibraryTrusted(path))
        return true;
    std::string file;
    for (const std::string& candidate : Candidates(path)) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            file = CanonicalFile(candidate);
            break;
        }
    }
    {
        std::lock_guard lock(g_folderLock);
        if (const auto it = g_answers.find(file); it != g_answers.end())
            return it->second;
    }
    // Not answered yet: the user decides, and No is what an unattended box answers.
    const bool yes = ReportMessage(IDS_LIBRARY_TRUST, {path}, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    std::lock_guard lock(g_folderLock);
    g_answers[file] = yes;
    return yes;
}

void CHardEquation::ForgetLibraryAnswers()
{
    std::lock_guard lock(g_folderLock);
    g_answers.clear();
}

bool CHardEquation::Load(const std::string& path)
{
    Unload();
    m_strPath = path;
    if (g_refuseLibraries)
        return false;
    const std::vector<std::string> candidates = Candidates(path);
    for (const std::string& file : candidates) {
        // Bound at once, so that a library that lacks a symbol it needs
        // fails here and not in the middle of a fit.
        m_hModule = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_hModule) {
            m_strLoadedFile = file;
            // Chosen by the user: later copies and reopened items load it without asking.
            std::lock_guard lock(g_folderLock);
            g_answers[CanonicalFile(file)] = true;
            break;
        }
    }
    if (m_hModule && Bind()) {
        m_bValid = true;
        return true;
    }
    // The library is freed once; the names it gave so far go with it.
    const std::string keep = m_strPath;
    Unload();
    m_strPath = keep;
    return false;
}

bool CHardEquation::Bind()
{
    void* m = m_hModule;
    auto version = Symbol<MX4EQN_VersionProc>(m, "MX4EQN_Version");
    if (!version || version() != 0)
        return false;
    auto canEstimate = Symbol<MX4EQN_CanEstimateProc>(m, "MX4EQN_CanEstimate");
    if (!canEstimate)
        return false;
    m_nUseParamDefs = canEstimate();
    auto nParams = Symbol<MX4EQN_GetNParametersProc>(m, "MX4EQN_GetNParameters");
    if (!nParams)
        return false;
    const int params = std::max(nParams(), 0);
    auto paramNames = Symbol<MX4EQN_GetParameterNamesProc>(m, "MX4EQN_GetParameterNames");
    if (!paramNames)
        return false;
    auto named = [](auto proc, int count, std::vector<std::string>& names, std::vector<std::string>& labels) {
        names.assign(std::size_t(count), {});
        labels.assign(std::size_t(count), {});
        for (int i = 0; i < count; ++i) {
            TextBuffer name(MX4EQN_NAME_SIZE), label(MX4EQN_NAME_SIZE);
            proc(i, &name.text, &label.text);
            names[std::size_t(i)] = name.Get();
            labels[std::size_t(i)] = label.Get();
        }
    };
    named(paramNames, params, m_paramNames, m_paramLabels);
    auto nConsts = Symbol<MX4EQN_GetNConstantsProc>(m, "MX4EQN_GetNConstants");
    if (!nConsts)
        return false;
    // Constants are named by the parameter-name function: there is no other.
    named(paramNames, std::max(nConsts(), 0), m_constNames, m_constLabels);
    auto nX = Symbol<MX4EQN_GetNXProc>(m, "MX4EQN_GetNX");
    if (!nX)
        return false;
    const int xs = std::max(nX(), 0);
    auto xNames = Symbol<MX4EQN_GetXNamesProc>(m, "MX4EQN_GetXNames");
    if (!xNames)
        return false;
    named(xNames, xs, m_xNames, m_xLabels);
    auto yName = Symbol<MX4EQN_GetYNameProc>(m, "MX4EQN_GetYName");
    if (!yName)
        return false;
    {
        TextBuffer text(MX4EQN_NAME_SIZE);
        yName(&text.text);
        m_strYName = text.Get();
    }
    auto description = Symbol<MX4EQN_GetDescriptionProc>(m, "MX4EQN_GetDescription");
    if (!description)
        return false;
    {
        TextBuffer text(MX4EQN_DESCRIPTION_SIZE);
        description(&text.text);
        m_strDescription = text.Get();
    }
    m_pEstimates = Symbol<MX4EQN_CalculateEstimatesProc>(m, "MX4EQN_CalculateEstimates");
    m_pDerivatives = Symbol<MX4EQN_CalculateDerivativesProc>(m, "MX4EQN_CalculateDerivatives");
    m_pCalculate = Symbol<MX4EQN_CalculateProc>(m, "MX4EQN_Calculate");
    return m_pEstimates && m_pDerivatives && m_pCalculate;
}

void CHardEquation::Assign(const CHardEquation& other)
{
    Copy(other);
    // A copy never asks: it loads only what is trusted already.
    if (IsLibraryTrusted(other.m_strPath)) {
        Load(other.m_strPath);
    } else {
        Unload();
        m_strPath = other.m_strPath;
    }
    // Values that Copy took and Load cleared with the names.
    m_paramValues = other.m_paramValues;
    m_constValues = other.m_constValues;
}

std::unique_ptr<CEquationBase> CHardEquation::Clone() const
{
    auto copy = std::make_unique<CHardEquation>();
    copy->Assign(*this);
    return copy;
}

double CHardEquation::Calculate()
{
    if (!m_bValid)
        return 0.0;
    if (m_paramValues.GetSize() < GetParameterCount() || m_constValues.GetSize() < GetConstantCount()
        || m_xValues.GetSize() < GetXCount())
        ResizeValues();
    const MX4Vector x = View(m_xValues), p = View(m_paramValues), c = View(m_constValues);
    m_result = m_pCalculate(&x, &p, &c);
    return m_result;
}

void CHardEquation::CalculateDerivatives(CMyVector& out)
{
    if (!m_bValid)
        return;
    if (m_paramValues.GetSize() < GetParameterCount() || m_constValues.GetSize() < GetConstantCount()
        || m_xValues.GetSize() < GetXCount())
        ResizeValues();
    const MX4Vector x = View(m_xValues), p = View(m_paramValues), c = View(m_constValues);
    MX4Vector o = View(out);
    m_pDerivatives(&x, &p, &c, &o);
}

int CHardEquation::CalculateEstimates(const CDoubleColumns& x, const CMyVector& y, const CMyVector& weights)
{
    if (!m_bValid)
        return 0;
    ResizeValues();
    std::vector<const double*> columns(std::size_t(x.GetColumnCount()));
    for (int i = 0; i < x.GetColumnCount(); ++i)
        columns[std::size_t(i)] = x.Column(i);
    const MX4Columns xc{columns.data(), x.GetColumnCount(), x.GetRowCount()};
    const MX4Vector yv = View(y), wv = View(weights);
    MX4Vector p = View(m_paramValues);
    return m_pEstimates(&xc, &yv, &wv, &p);
}

std::string CHardEquation::GetDescription() const
{
    if (m_bValid)
        return m_strDescription;
    return m_strPath.empty() ? std::string() : LoadString(IDS_LIBRARY_NOT_VALID);
}

void CHardEquation::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        CEquationBase::Serialize(ar);
        ar.WriteString(m_strPath);
        return;
    }
    Free();
    CEquationBase::Serialize(ar);
    const std::string path = ar.ReadString();
    // The names stored are replaced by the library's, or cleared if it fails.
    const CMyVector values = m_paramValues;
    // A library that a file names runs only with the user's word.
    if (!MayLoadLibrary(path)) {
        Unload();
        m_strPath = path;
        return;
    }
    Load(path);
    if (m_bValid && values.GetSize() == GetParameterCount())
        m_paramValues = values;
}
