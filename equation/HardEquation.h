// An equation supplied by an equation library (a shared library with the
// extension .mxl). The library gives the names and the description and
// computes y, the derivatives and, when it can, starting estimates.
#pragma once

#include "equation/EquationBase.h"
#include "equation/EquationLibrary.h"

#include <string>
#include <vector>

class CHardEquation : public CEquationBase {
    DECLARE_SERIAL(CHardEquation)
public:
    CHardEquation() = default;
    CHardEquation(const CHardEquation&) = delete;
    CHardEquation& operator=(const CHardEquation&) = delete;
    ~CHardEquation() override;

    // The folders searched before the stored path (the user's and the
    // group's equation-library folders); empty for none.
    static void SetLibraryFolders(std::string userFolder, std::string groupFolder);

    // Loading a library runs its code, so a library that a file names is
    // loaded only with the user's word. A library counts as chosen when the
    // user chose it in this program (Load) or agreed to it once this session,
    // or when it lies in the user's or the group's library folder.
    static bool IsLibraryTrusted(const std::string& path);
    // Trusted, or asks the user (once per library and session; the answer is kept).
    static bool MayLoadLibrary(const std::string& path);
    // From now on no library is trusted, asked about or loaded in this
    // process (for programs that read files for others, as the thumbnailer).
    static void RefuseLibraries();
    // Forgets the answers of this session (for tests).
    static void ForgetLibraryAnswers();

    // Loads and binds the library the user chose: the file name is tried in
    // the user's folder, then in the group's folder, then the path itself.
    // Returns whether the equation is valid.
    bool Load(const std::string& path);
    // Frees the library and clears the names (the library gave them).
    void Unload();
    // The base part of other, then its library loaded when it is trusted.
    void Assign(const CHardEquation& other);

    void Invalidate() override { Unload(); }
    void CalculateDerivatives(CMyVector& out) override;
    std::unique_ptr<CEquationBase> Clone() const override;
    int CalculateEstimates(const CDoubleColumns& x, const CMyVector& y, const CMyVector& weights) override;
    double Calculate() override;

    const std::string& GetLibraryPath() const { return m_strPath; }
    // The description; when not valid, "(Equation library not valid)" if a
    // path is set, else empty.
    std::string GetDescription() const;
    // The file that was loaded (empty when none).
    const std::string& GetLoadedFile() const { return m_strLoadedFile; }

    void Serialize(CArchive& ar) override;

private:
    // The files a path may load, in the order they are tried.
    static std::vector<std::string> Candidates(const std::string& path);
    bool Bind();
    void Free();

    std::string m_strPath;
    std::string m_strDescription;
    std::string m_strLoadedFile;
    MX4EQN_CalculateEstimatesProc m_pEstimates = nullptr;
    MX4EQN_CalculateDerivativesProc m_pDerivatives = nullptr;
    MX4EQN_CalculateProc m_pCalculate = nullptr;
    void* m_hModule = nullptr;
};
