#include "orbit/sgp4.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// WGS-72, as the element sets are fitted: the Earth's radius (km), the gravity constant in Earth
// radii and minutes, and the zonal harmonics.
constexpr double kEarthRadiusKm = 6378.135;
constexpr double kMuKm3S2 = 398600.8;
const double kXke = 60.0 / std::sqrt(kEarthRadiusKm * kEarthRadiusKm * kEarthRadiusKm / kMuKm3S2);
constexpr double kJ2 = 0.001082616, kJ3 = -0.00000253881, kJ4 = -0.00000165597;
constexpr double kJ3OverJ2 = kJ3 / kJ2;
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kTwoThirds = 2.0 / 3.0;
constexpr double kRadiansPerDegree = std::numbers::pi / 180;

}  // namespace

Sgp4::Sgp4(const ElementSet& set)
    : epochMs_(set.epochMs),
      inclination_(set.inclinationDeg * kRadiansPerDegree),
      node_(set.ascendingNodeDeg * kRadiansPerDegree),
      eccentricity_(set.eccentricity),
      perigee_(set.perigeeDeg * kRadiansPerDegree),
      meanAnomaly_(set.meanAnomalyDeg * kRadiansPerDegree),
      bstar_(set.bstar) {
    const double kozai = set.revolutionsPerDay * kTwoPi / 1440.0;  // radians a minute
    const double e = eccentricity_, eSquared = e * e, beta0Squared = 1 - eSquared, beta0 = std::sqrt(beta0Squared);
    cosI_ = std::cos(inclination_);
    sinI_ = std::sin(inclination_);
    const double cosI2 = cosI_ * cosI_;

    // the mean motion and semi-major axis the Kozai mean motion stands for
    const double ak = std::pow(kXke / kozai, kTwoThirds);
    const double d1 = 0.75 * kJ2 * (3 * cosI2 - 1) / (beta0 * beta0Squared);
    double delta = d1 / (ak * ak);
    const double adel = ak * (1 - delta * delta - delta * (1.0 / 3.0 + 134 * delta * delta / 81));
    delta = d1 / (adel * adel);
    meanMotion_ = kozai / (1 + delta);
    const double a0 = std::pow(kXke / meanMotion_, kTwoThirds);
    const double p0 = a0 * beta0Squared;
    const double con42 = 1 - 5 * cosI2;
    con41_ = -con42 - cosI2 - cosI2;
    x1mth2_ = 1 - cosI2;
    x7thm1_ = 7 * cosI2 - 1;

    // the atmosphere's density parameter, lowered for a low perigee
    const double perigeeKm = (a0 * (1 - e) - 1) * kEarthRadiusKm;
    simple_ = perigeeKm < 220;
    double s = 78 / kEarthRadiusKm + 1;
    double qzms24 = std::pow((120 - 78) / kEarthRadiusKm, 4);
    if (perigeeKm < 156) {
        const double sKm = perigeeKm < 98 ? 20 : perigeeKm - 78;
        qzms24 = std::pow((120 - sKm) / kEarthRadiusKm, 4);
        s = sKm / kEarthRadiusKm + 1;
    }
    const double pinvsq = 1 / (p0 * p0);
    const double tsi = 1 / (a0 - s);
    eta_ = a0 * e * tsi;
    const double etaSquared = eta_ * eta_, eeta = e * eta_;
    const double psisq = std::fabs(1 - etaSquared);
    const double coef = qzms24 * std::pow(tsi, 4);
    const double coef1 = coef / std::pow(psisq, 3.5);
    const double cc2 = coef1 * meanMotion_ *
                       (a0 * (1 + 1.5 * etaSquared + eeta * (4 + etaSquared)) +
                        0.375 * kJ2 * tsi / psisq * con41_ * (8 + 3 * etaSquared * (8 + etaSquared)));
    cc1_ = bstar_ * cc2;
    const double cc3 = e > 1e-4 ? -2 * coef * tsi * kJ3OverJ2 * meanMotion_ * sinI_ / e : 0;
    cc4_ = 2 * meanMotion_ * coef1 * a0 * beta0Squared *
           (eta_ * (2 + 0.5 * etaSquared) + e * (0.5 + 2 * etaSquared) -
            kJ2 * tsi / (a0 * psisq) *
                (-3 * con41_ * (1 - 2 * eeta + etaSquared * (1.5 - 0.5 * eeta)) +
                 0.75 * x1mth2_ * (2 * etaSquared - eeta * (1 + etaSquared)) * std::cos(2 * perigee_)));
    cc5_ = 2 * coef1 * a0 * beta0Squared * (1 + 2.75 * (etaSquared + eeta) + eeta * etaSquared);

    // the secular rates of the mean anomaly, the perigee and the node
    const double cosI4 = cosI2 * cosI2;
    const double temp1 = 1.5 * kJ2 * pinvsq * meanMotion_;
    const double temp2 = 0.5 * temp1 * kJ2 * pinvsq;
    const double temp3 = -0.46875 * kJ4 * pinvsq * pinvsq * meanMotion_;
    mdot_ = meanMotion_ + 0.5 * temp1 * beta0 * con41_ + 0.0625 * temp2 * beta0 * (13 - 78 * cosI2 + 137 * cosI4);
    perigeeDot_ = -0.5 * temp1 * con42 + 0.0625 * temp2 * (7 - 114 * cosI2 + 395 * cosI4) + temp3 * (3 - 36 * cosI2 + 49 * cosI4);
    const double xhdot1 = -temp1 * cosI_;
    nodeDot_ = xhdot1 + (0.5 * temp2 * (4 - 19 * cosI2) + 2 * temp3 * (3 - 7 * cosI2)) * cosI_;
    omgcof_ = bstar_ * cc3 * std::cos(perigee_);
    xmcof_ = e > 1e-4 ? -kTwoThirds * coef * bstar_ / eeta : 0;
    nodecf_ = 3.5 * beta0Squared * xhdot1 * cc1_;
    t2cof_ = 1.5 * cc1_;
    // the long-period terms, kept finite for an orbit of 180 degrees
    const double onePlusCos = std::fabs(cosI_ + 1) > 1.5e-12 ? 1 + cosI_ : 1.5e-12;
    xlcof_ = -0.25 * kJ3OverJ2 * sinI_ * (3 + 5 * cosI_) / onePlusCos;
    aycof_ = -0.5 * kJ3OverJ2 * sinI_;
    delmo_ = std::pow(1 + eta_ * std::cos(meanAnomaly_), 3);
    sinM0_ = std::sin(meanAnomaly_);

    if (!simple_) {
        const double cc1sq = cc1_ * cc1_;
        d2_ = 4 * a0 * tsi * cc1sq;
        const double temp = d2_ * tsi * cc1_ / 3;
        d3_ = (17 * a0 + s) * temp;
        d4_ = 0.5 * temp * a0 * tsi * (221 * a0 + 31 * s) * cc1_;
        t3cof_ = d2_ + 2 * cc1sq;
        t4cof_ = 0.25 * (3 * d3_ + cc1_ * (12 * d2_ + 10 * cc1sq));
        t5cof_ = 0.2 * (3 * d4_ + 12 * cc1_ * d3_ + 6 * d2_ * d2_ + 15 * cc1sq * (2 * d2_ + cc1sq));
    }
}

std::optional<OrbitState> Sgp4::Propagate(double t) const {
    // secular gravity and drag
    const double meanAnomalyDf = meanAnomaly_ + mdot_ * t;
    const double perigeeDf = perigee_ + perigeeDot_ * t;
    const double nodeDf = node_ + nodeDot_ * t;
    double perigee = perigeeDf, meanAnomaly = meanAnomalyDf;
    const double t2 = t * t;
    double node = nodeDf + nodecf_ * t2;
    double tempa = 1 - cc1_ * t, tempe = bstar_ * cc4_ * t, templ = t2cof_ * t2;
    if (!simple_) {
        const double delomg = omgcof_ * t;
        const double delm = xmcof_ * (std::pow(1 + eta_ * std::cos(meanAnomalyDf), 3) - delmo_);
        meanAnomaly = meanAnomalyDf + delomg + delm;
        perigee = perigeeDf - delomg - delm;
        const double t3 = t2 * t, t4 = t3 * t;
        tempa -= d2_ * t2 + d3_ * t3 + d4_ * t4;
        tempe += bstar_ * cc5_ * (std::sin(meanAnomaly) - sinM0_);
        templ += t3cof_ * t3 + t4 * (t4cof_ + t * t5cof_);
    }
    const double a = std::pow(kXke / meanMotion_, kTwoThirds) * tempa * tempa;
    const double n = kXke / std::pow(a, 1.5);
    double e = eccentricity_ - tempe;
    if (e >= 1 || e < -0.001) return std::nullopt;
    e = std::max(e, 1e-6);
    meanAnomaly += meanMotion_ * templ;
    double xlm = meanAnomaly + perigee + node;
    node = std::fmod(node, kTwoPi);
    perigee = std::fmod(perigee, kTwoPi);
    xlm = std::fmod(xlm, kTwoPi);
    meanAnomaly = std::fmod(xlm - perigee - node, kTwoPi);

    // long-period periodics
    const double axnl = e * std::cos(perigee);
    double temp = 1 / (a * (1 - e * e));
    const double aynl = e * std::sin(perigee) + temp * aycof_;
    const double xl = meanAnomaly + perigee + node + temp * xlcof_ * axnl;

    // Kepler's equation, in the form with the eccentricity vector
    const double u = std::fmod(xl - node, kTwoPi);
    double eo1 = u, step = 9999.9, sinEo1 = 0, cosEo1 = 0;
    for (int k = 0; std::fabs(step) >= 1e-12 && k < 10; ++k) {
        sinEo1 = std::sin(eo1);
        cosEo1 = std::cos(eo1);
        step = (u - aynl * cosEo1 + axnl * sinEo1 - eo1) / (1 - cosEo1 * axnl - sinEo1 * aynl);
        step = std::clamp(step, -0.95, 0.95);
        eo1 += step;
    }

    // short-period periodics
    const double ecose = axnl * cosEo1 + aynl * sinEo1;
    const double esine = axnl * sinEo1 - aynl * cosEo1;
    const double el2 = axnl * axnl + aynl * aynl;
    const double pl = a * (1 - el2);
    if (pl < 0) return std::nullopt;
    const double rl = a * (1 - ecose);
    const double rdotl = std::sqrt(a) * esine / rl;
    const double rvdotl = std::sqrt(pl) / rl;
    const double betal = std::sqrt(1 - el2);
    temp = esine / (1 + betal);
    const double sinu = a / rl * (sinEo1 - aynl - axnl * temp);
    const double cosu = a / rl * (cosEo1 - axnl + aynl * temp);
    double su = std::atan2(sinu, cosu);
    const double sin2u = (cosu + cosu) * sinu;
    const double cos2u = 1 - 2 * sinu * sinu;
    temp = 1 / pl;
    const double temp1 = 0.5 * kJ2 * temp, temp2 = temp1 * temp;
    const double mrt = rl * (1 - 1.5 * temp2 * betal * con41_) + 0.5 * temp1 * x1mth2_ * cos2u;
    su -= 0.25 * temp2 * x7thm1_ * sin2u;
    const double xnode = node + 1.5 * temp2 * cosI_ * sin2u;
    const double xinc = inclination_ + 1.5 * temp2 * cosI_ * sinI_ * cos2u;
    const double mvt = rdotl - n * temp1 * x1mth2_ * sin2u / kXke;
    const double rvdot = rvdotl + n * temp1 * (x1mth2_ * cos2u + 1.5 * con41_) / kXke;
    if (mrt < 1) return std::nullopt;  // below the Earth's surface: decayed

    // the orientation vectors, and from them the position and velocity
    const double sinsu = std::sin(su), cossu = std::cos(su), snod = std::sin(xnode), cnod = std::cos(xnode);
    const double sini = std::sin(xinc), cosi = std::cos(xinc);
    const double xmx = -snod * cosi, xmy = cnod * cosi;
    const std::array<double, 3> uv{xmx * sinsu + cnod * cossu, xmy * sinsu + snod * cossu, sini * sinsu};
    const std::array<double, 3> vv{xmx * cossu - cnod * sinsu, xmy * cossu - snod * sinsu, sini * cossu};
    const double kmPerSecond = kEarthRadiusKm * kXke / 60;
    OrbitState state;
    for (std::size_t i = 0; i < 3; ++i) {
        state.positionKm[i] = mrt * uv[i] * kEarthRadiusKm;
        state.velocityKmS[i] = (mvt * uv[i] + rvdot * vv[i]) * kmPerSecond;
    }
    return state;
}
