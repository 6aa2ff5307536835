#include "NistProblem.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::string> Tokens(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string t; in >> t;)
        out.push_back(t);
    return out;
}

bool Number(std::string token, double& v)
{
    if (!token.empty() && token[0] == '+')
        token.erase(0, 1);
    auto r = std::from_chars(token.data(), token.data() + token.size(), v);
    return r.ec == std::errc() && r.ptr == token.data() + token.size();
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// "(lines A to B)" after a heading word on a header line.
bool LineRange(const std::vector<std::string>& lines, const std::string& heading, int& first, int& last)
{
    for (const std::string& line : lines) {
        auto t = Tokens(line);
        for (std::size_t i = 0; i + 4 < t.size() + 1 && i < t.size(); ++i) {
            if (t[i] == heading && i + 4 < t.size() && t[i + 1] == "(lines" && t[i + 3] == "to") {
                double a = 0, b = 0;
                std::string end = t[i + 4].substr(0, t[i + 4].find(')'));
                if (Number(t[i + 2], a) && Number(end, b)) {
                    first = int(a);
                    last = int(b);
                    return true;
                }
            }
        }
    }
    return false;
}

// --- the model: a small expression parser with the usual precedence ---

struct Node {
    enum Kind { Num, Var, Neg, Bin, Call } kind = Num;
    double value = 0;
    std::string text; // number text, name, operator or function
    std::unique_ptr<Node> a, b;
};

std::unique_ptr<Node> MakeNode(Node::Kind kind)
{
    auto n = std::make_unique<Node>();
    n->kind = kind;
    return n;
}

class Parser {
public:
    explicit Parser(std::string text) : s(std::move(text)) {}
    std::unique_ptr<Node> Parse()
    {
        auto n = Expr();
        Skip();
        if (p != s.size())
            throw std::runtime_error("unexpected '" + s.substr(p) + "'");
        return n;
    }

private:
    void Skip()
    {
        while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p])))
            ++p;
    }
    bool Eat(const char* op)
    {
        Skip();
        const std::size_t len = std::char_traits<char>::length(op);
        if (s.compare(p, len, op) == 0) {
            p += len;
            return true;
        }
        return false;
    }
    static std::unique_ptr<Node> Binary(char op, std::unique_ptr<Node> a, std::unique_ptr<Node> b)
    {
        auto n = MakeNode(Node::Bin);
        n->text = std::string(1, op);
        n->a = std::move(a);
        n->b = std::move(b);
        return n;
    }
    std::unique_ptr<Node> Expr()
    {
        auto n = Term();
        for (;;) {
            if (Eat("+"))
                n = Binary('+', std::move(n), Term());
            else if (Eat("-"))
                n = Binary('-', std::move(n), Term());
            else
                return n;
        }
    }
    std::unique_ptr<Node> Term()
    {
        auto n = Unary();
        for (;;) {
            Skip();
            if (s.compare(p, 2, "**") == 0)
                return n; // cannot happen: powers bind inside Unary
            if (Eat("*"))
                n = Binary('*', std::move(n), Unary());
            else if (Eat("/"))
                n = Binary('/', std::move(n), Unary());
            else
                return n;
        }
    }
    std::unique_ptr<Node> Unary()
    {
        if (Eat("-")) {
            auto n = MakeNode(Node::Neg);
            n->a = Unary();
            return n;
        }
        if (Eat("+"))
            return Unary();
        auto base = Primary();
        if (Eat("**"))
            return Binary('^', std::move(base), Unary()); // right-associative, binds tighter than minus
        return base;
    }
    std::unique_ptr<Node> Primary()
    {
        Skip();
        if (Eat("(") || Eat("[")) {
            auto n = Expr();
            if (!Eat(")") && !Eat("]"))
                throw std::runtime_error("missing closing bracket");
            return n;
        }
        if (p < s.size() && (std::isdigit(static_cast<unsigned char>(s[p])) || s[p] == '.')) {
            std::size_t q = p;
            while (q < s.size() && (std::isdigit(static_cast<unsigned char>(s[q])) || s[q] == '.'))
                ++q;
            if (q < s.size() && (s[q] == 'e' || s[q] == 'E')) {
                std::size_t r = q + 1;
                if (r < s.size() && (s[r] == '+' || s[r] == '-'))
                    ++r;
                if (r < s.size() && std::isdigit(static_cast<unsigned char>(s[r]))) {
                    while (r < s.size() && std::isdigit(static_cast<unsigned char>(s[r])))
                        ++r;
                    q = r;
                }
            }
            auto n = MakeNode(Node::Num);
            n->text = s.substr(p, q - p);
            if (n->text[0] == '.')
                n->text = "0" + n->text;
            if (!Number(n->text, n->value))
                throw std::runtime_error("bad number " + n->text);
            p = q;
            return n;
        }
        if (p < s.size() && std::isalpha(static_cast<unsigned char>(s[p]))) {
            std::size_t q = p;
            while (q < s.size() && (std::isalnum(static_cast<unsigned char>(s[q])) || s[q] == '_'))
                ++q;
            std::string name = s.substr(p, q - p);
            p = q;
            Skip();
            if (p < s.size() && (s[p] == '(' || s[p] == '[')) {
                ++p;
                auto n = MakeNode(Node::Call);
                n->text = Lower(name);
                n->a = Expr();
                if (!Eat(")") && !Eat("]"))
                    throw std::runtime_error("missing closing bracket");
                return n;
            }
            auto n = MakeNode(Node::Var);
            n->text = name;
            return n;
        }
        throw std::runtime_error("operand expected at '" + s.substr(p) + "'");
    }

    std::string s;
    std::size_t p = 0;
};

const char* kPi = "3.14159265358979323846264338327950288";

// Fully bracketed equation-language text: the language's unary minus binds
// tighter than its power, so every operation gets its own brackets.
std::string Emit(const Node& n)
{
    switch (n.kind) {
    case Node::Num: return n.text;
    case Node::Var: return Lower(n.text) == "pi" ? std::string(kPi) : n.text;
    case Node::Neg: return "(-" + Emit(*n.a) + ")";
    case Node::Bin: return "(" + Emit(*n.a) + n.text + Emit(*n.b) + ")";
    case Node::Call: {
        static const std::map<std::string, std::string> names = {
            {"exp", "EXP"}, {"log", "LN"}, {"ln", "LN"}, {"sin", "SIN"}, {"cos", "COS"},
            {"arctan", "ATAN"}, {"atan", "ATAN"}, {"tan", "TAN"}, {"sqrt", "SQRT"},
        };
        auto it = names.find(n.text);
        if (it == names.end())
            throw std::runtime_error("unknown function " + n.text);
        return it->second + "(" + Emit(*n.a) + ")";
    }
    }
    return {};
}

double Evaluate(const Node& n, double y)
{
    switch (n.kind) {
    case Node::Num: return n.value;
    case Node::Var: return Lower(n.text) == "pi" ? M_PI : y;
    case Node::Neg: return -Evaluate(*n.a, y);
    case Node::Bin: {
        const double a = Evaluate(*n.a, y), b = Evaluate(*n.b, y);
        switch (n.text[0]) {
        case '+': return a + b;
        case '-': return a - b;
        case '*': return a * b;
        case '/': return a / b;
        default: return std::pow(a, b);
        }
    }
    case Node::Call: {
        const double a = Evaluate(*n.a, y);
        if (n.text == "log" || n.text == "ln")
            return std::log(a);
        if (n.text == "exp")
            return std::exp(a);
        if (n.text == "sqrt")
            return std::sqrt(a);
        throw std::runtime_error("unsupported response function " + n.text);
    }
    }
    return 0;
}

void Terms(const Node& n, std::vector<const Node*>& out)
{
    if (n.kind == Node::Bin && n.text == "+") {
        Terms(*n.a, out);
        Terms(*n.b, out);
    } else {
        out.push_back(&n);
    }
}

// The power of x in a term "B", "B*x", "B*x**k", "B*(x**k)"; -1 when the term has another form.
int TermPower(const Node& t, const SNistProblem& p, int& param)
{
    auto paramIndex = [&](const Node& n) {
        if (n.kind != Node::Var)
            return -1;
        for (std::size_t i = 0; i < p.params.size(); ++i)
            if (p.params[i] == n.text)
                return int(i);
        return -1;
    };
    auto isX = [&](const Node& n) { return n.kind == Node::Var && p.xNames.size() == 1 && n.text == p.xNames[0]; };
    if ((param = paramIndex(t)) >= 0)
        return 0;
    if (t.kind != Node::Bin || t.text != "*" || (param = paramIndex(*t.a)) < 0)
        return -1;
    const Node& f = *t.b;
    if (isX(f))
        return 1;
    if (f.kind == Node::Bin && f.text == "^" && isX(*f.a) && f.b->kind == Node::Num && f.b->value >= 1
        && f.b->value == std::floor(f.b->value))
        return int(f.b->value);
    return -1;
}

} // namespace

double LogRelativeError(double x, double c)
{
    if (std::isnan(x))
        return 0.0;
    if (x == c)
        return 11.0;
    const double lre = c == 0.0 ? -std::log10(std::fabs(x)) : -std::log10(std::fabs(x - c) / std::fabs(c));
    return std::clamp(lre, 0.0, 11.0) + 0.0; // no "-0.0"
}

bool LoadNistProblem(const std::string& path, SNistProblem& p, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    p = SNistProblem();
    p.name = path.substr(path.find_last_of('/') + 1);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    int cFirst = 0, cLast = 0, dFirst = 0, dLast = 0;
    if (!LineRange(lines, "Values", cFirst, cLast) || !LineRange(lines, "Data", dFirst, dLast)) {
        error = "no line ranges";
        return false;
    }
    // Certified values: "b1 = s1 s2 value sd" (non-linear) or "B0 value sd" (linear).
    bool linear = true;
    for (int l = cFirst; l <= cLast && l <= int(lines.size()); ++l) {
        auto t = Tokens(lines[std::size_t(l - 1)]);
        double v = 0, sd = 0, s1 = 0, s2 = 0;
        if (t.size() == 6 && t[1] == "=" && Number(t[2], s1) && Number(t[3], s2) && Number(t[4], v)
            && Number(t[5], sd)) {
            linear = false;
            p.params.push_back(t[0]);
            if (p.starts.empty())
                p.starts.resize(2);
            p.starts[0].push_back(s1);
            p.starts[1].push_back(s2);
            p.certified.push_back(v);
            p.certifiedSE.push_back(sd);
        } else if (t.size() == 3 && (t[0][0] == 'B' || t[0][0] == 'b') && Number(t[1], v) && Number(t[2], sd)) {
            p.params.push_back(t[0]);
            p.certified.push_back(v);
            p.certifiedSE.push_back(sd);
        }
    }
    for (const std::string& line : lines) {
        auto t = Tokens(line);
        if (line.find("Residual Sum of Squares:") != std::string::npos)
            Number(t.back(), p.certifiedRSS);
        double dof = 0;
        if (linear && t.size() == 4 && t[0] == "Residual" && Number(t[1], dof))
            Number(t[2], p.certifiedRSS);
    }
    if (p.params.empty()) {
        error = "no certified values";
        return false;
    }
    // The data: the header names the columns, y first.
    auto header = Tokens(lines[std::size_t(dFirst - 2)]);
    for (std::size_t i = 2; i < header.size(); ++i)
        p.xNames.push_back(header[i]);
    if (header.size() < 3 || header[0] != "Data:") {
        error = "no data header";
        return false;
    }
    // The model: from its first line with "=" to the next blank line; every
    // line with "=" starts a statement, the last one is the response.
    std::vector<std::string> statements;
    bool inModel = false, started = false;
    for (const std::string& line : lines) {
        if (line.rfind("Model:", 0) == 0) {
            inModel = true;
            continue;
        }
        if (!inModel)
            continue;
        const bool blank = line.find_first_not_of(" \t") == std::string::npos;
        const bool assignment = line.find('=') != std::string::npos;
        if (started && blank)
            break;
        if (assignment) {
            started = true;
            statements.push_back(line);
        } else if (started) {
            statements.back() += " " + line;
        }
    }
    if (statements.empty()) {
        error = "no model";
        return false;
    }
    const std::string model = statements.back();
    const std::size_t eq = model.find('=');
    std::string lhs = model.substr(0, eq), rhs = model.substr(eq + 1);
    // Drop the error term "+ e".
    while (!rhs.empty() && std::isspace(static_cast<unsigned char>(rhs.back())))
        rhs.pop_back();
    if (rhs.size() >= 1 && rhs.back() == 'e') {
        rhs.pop_back();
        while (!rhs.empty() && std::isspace(static_cast<unsigned char>(rhs.back())))
            rhs.pop_back();
        if (!rhs.empty() && rhs.back() == '+')
            rhs.pop_back();
    }
    p.model = Tokens(lhs)[0] + " =" + rhs;
    std::unique_ptr<Node> response, body;
    try {
        // Definitions before the response become local variables; pi is
        // written out at full precision wherever it is used.
        for (std::size_t i = 0; i + 1 < statements.size(); ++i) {
            const std::string& st = statements[i];
            const std::string name = Tokens(st.substr(0, st.find('=')))[0];
            if (Lower(name) == "pi")
                continue;
            p.source += name + " = " + Emit(*Parser(st.substr(st.find('=') + 1)).Parse()) + "\r\n";
        }
        response = Parser(lhs).Parse();
        body = Parser(rhs).Parse();
        p.source += "y = " + Emit(*body);
    } catch (const std::exception& e) {
        error = std::string("model: ") + e.what();
        return false;
    }
    p.x.SetSize(int(p.xNames.size()), 0);
    for (int l = dFirst; l <= dLast && l <= int(lines.size()); ++l) {
        auto t = Tokens(lines[std::size_t(l - 1)]);
        if (t.size() != p.xNames.size() + 1) {
            error = "bad data line " + std::to_string(l);
            return false;
        }
        double v = 0;
        const int row = p.y.GetSize();
        for (std::size_t i = 0; i < p.xNames.size(); ++i) {
            Number(t[i + 1], v);
            p.x.SetValue(int(i), row, v);
        }
        Number(t[0], v);
        p.y.Add(response->kind == Node::Var ? v : Evaluate(*response, v));
    }
    // A polynomial in one x with every power once from 0 to its order.
    std::vector<const Node*> terms;
    Terms(*body, terms);
    std::vector<int> byPower(terms.size(), -1);
    bool polynomial = linear && p.xNames.size() == 1 && terms.size() == p.params.size();
    for (const Node* t : terms) {
        int param = -1;
        const int power = polynomial ? TermPower(*t, p, param) : -1;
        if (power < 0 || power >= int(terms.size()) || byPower[std::size_t(power)] >= 0) {
            polynomial = false;
            break;
        }
        byPower[std::size_t(power)] = param;
    }
    if (polynomial) {
        p.polynomialOrder = int(terms.size()) - 1;
        p.powerParam = byPower;
    }
    return true;
}

std::unique_ptr<CEquation> MakeNistEquation(const SNistProblem& p)
{
    auto eq = std::make_unique<CEquation>();
    eq->SetYName("y");
    for (std::size_t i = 0; i < p.params.size(); ++i)
        eq->SetParameterName(int(i), p.params[i].c_str(), "");
    for (std::size_t i = 0; i < p.xNames.size(); ++i)
        eq->SetXName(int(i), p.xNames[i].c_str(), "");
    eq->SetModeFlag(1);
    eq->SetSource(p.source);
    eq->Compile();
    eq->ResizeValues();
    return eq;
}
