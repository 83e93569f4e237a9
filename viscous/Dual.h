// Forward-mode dual numbers: a value with its gradient with respect to N
// independent variables. The closures and residuals of the integral boundary
// layer are written once as templates on the scalar type; evaluated on
// Dual<N> they give the exact Jacobian the Newton iteration needs.
#pragma once

#include <array>
#include <cmath>

namespace tavrix::coupled {

template <int N>
struct Dual {
    double v = 0;
    std::array<double, N> d{};

    Dual() = default;
    Dual(double value) : v(value) {}  // a constant: zero gradient
    static Dual variable(double value, int index)
    {
        Dual r(value);
        r.d[index] = 1;
        return r;
    }

    Dual& operator+=(const Dual& b)
    {
        v += b.v;
        for (int k = 0; k < N; ++k) d[k] += b.d[k];
        return *this;
    }
    Dual& operator-=(const Dual& b)
    {
        v -= b.v;
        for (int k = 0; k < N; ++k) d[k] -= b.d[k];
        return *this;
    }
    Dual& operator*=(const Dual& b)
    {
        for (int k = 0; k < N; ++k) d[k] = d[k] * b.v + v * b.d[k];
        v *= b.v;
        return *this;
    }
    Dual& operator/=(const Dual& b)
    {
        const double inv = 1.0 / b.v;
        const double q = v * inv;
        for (int k = 0; k < N; ++k) d[k] = (d[k] - q * b.d[k]) * inv;
        v = q;
        return *this;
    }
};

// The chain rule for a function of one variable: f(a) with f'(a) = slope.
template <int N>
inline Dual<N> chain(const Dual<N>& a, double value, double slope)
{
    Dual<N> r(value);
    for (int k = 0; k < N; ++k) r.d[k] = slope * a.d[k];
    return r;
}

template <int N> inline Dual<N> operator-(Dual<N> a)
{
    a.v = -a.v;
    for (auto& x : a.d) x = -x;
    return a;
}
template <int N> inline Dual<N> operator+(Dual<N> a, const Dual<N>& b) { return a += b; }
template <int N> inline Dual<N> operator-(Dual<N> a, const Dual<N>& b) { return a -= b; }
template <int N> inline Dual<N> operator*(Dual<N> a, const Dual<N>& b) { return a *= b; }
template <int N> inline Dual<N> operator/(Dual<N> a, const Dual<N>& b) { return a /= b; }
template <int N> inline Dual<N> operator+(Dual<N> a, double b) { a.v += b; return a; }
template <int N> inline Dual<N> operator+(double b, Dual<N> a) { a.v += b; return a; }
template <int N> inline Dual<N> operator-(Dual<N> a, double b) { a.v -= b; return a; }
template <int N> inline Dual<N> operator-(double b, const Dual<N>& a) { return -a + b; }
template <int N> inline Dual<N> operator*(Dual<N> a, double b)
{
    a.v *= b;
    for (auto& x : a.d) x *= b;
    return a;
}
template <int N> inline Dual<N> operator*(double b, Dual<N> a) { return a * b; }
template <int N> inline Dual<N> operator/(Dual<N> a, double b) { return a * (1.0 / b); }
template <int N> inline Dual<N> operator/(double b, const Dual<N>& a)
{
    const double r = b / a.v;
    return chain(a, r, -r / a.v);
}

template <int N> inline bool operator<(const Dual<N>& a, const Dual<N>& b) { return a.v < b.v; }
template <int N> inline bool operator>(const Dual<N>& a, const Dual<N>& b) { return a.v > b.v; }
template <int N> inline bool operator<(const Dual<N>& a, double b) { return a.v < b; }
template <int N> inline bool operator>(const Dual<N>& a, double b) { return a.v > b; }
template <int N> inline bool operator<(double a, const Dual<N>& b) { return a < b.v; }
template <int N> inline bool operator>(double a, const Dual<N>& b) { return a > b.v; }

template <int N> inline Dual<N> exp(const Dual<N>& a)
{
    const double e = std::exp(a.v);
    return chain(a, e, e);
}
template <int N> inline Dual<N> log(const Dual<N>& a) { return chain(a, std::log(a.v), 1.0 / a.v); }
template <int N> inline Dual<N> log10(const Dual<N>& a)
{
    return chain(a, std::log10(a.v), 1.0 / (a.v * std::log(10.0)));
}
template <int N> inline Dual<N> sqrt(const Dual<N>& a)
{
    const double s = std::sqrt(a.v);
    return chain(a, s, 0.5 / s);
}
template <int N> inline Dual<N> tanh(const Dual<N>& a)
{
    const double t = std::tanh(a.v);
    return chain(a, t, 1 - t * t);
}
template <int N> inline Dual<N> pow(const Dual<N>& a, double p)
{
    const double r = std::pow(a.v, p);
    return chain(a, r, p * std::pow(a.v, p - 1));
}
// a^b with both varying (a > 0).
template <int N> inline Dual<N> pow(const Dual<N>& a, const Dual<N>& b) { return exp(b * log(a)); }

// The value of a scalar whatever its type.
inline double value(double x) { return x; }
template <int N> inline double value(const Dual<N>& x) { return x.v; }

}  // namespace tavrix::coupled
