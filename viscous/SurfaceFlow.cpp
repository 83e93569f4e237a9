#include "viscous/SurfaceFlow.h"

#include "solvers/SignedSpeed.h"

namespace tavrix {

SurfaceFlow SurfaceFlowAfterPress(const Common& c, PanelMethod method)
{
    SurfaceFlow f;
    f.cosAlfa = c.CosAlfa;
    f.sinAlfa = c.SinAlfa;
    for (int i = 1; i <= c.NP; ++i) {
        f.X.push_back(c.X[i]);
        f.Y.push_back(c.Y[i]);
    }
    f.speed = SignedSurfaceSpeed(c, method);
    return f;
}

SurfaceFlow SurfaceFlowOf(const OperatingPoint& point)
{
    SurfaceFlow f;
    f.cosAlfa = point.cosAlfa;
    f.sinAlfa = point.sinAlfa;
    f.X = point.X;
    f.Y = point.Y;
    f.speed = point.signedSpeed;
    return f;
}

}  // namespace tavrix
