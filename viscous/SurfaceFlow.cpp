#include "viscous/SurfaceFlow.h"


namespace tavrix {

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
