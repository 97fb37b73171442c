// Prints w(1 + i) from the installed region kernel, and the Hartmann-Tran
// profile at the centre of a Voigt line from the installed profile kernel.
#include <cstdint>
#include <cstdio>

#include "vorlan/htp.hpp"
#include "vorlan/w_regions.hpp"

int main() {
  double u = 0.0;
  double v = 0.0;
  std::int32_t flag = 0;
  vorlan::W_REGIONS(1.0, 1.0, u, v, flag);
  if (flag != 0) {
    std::printf("W_REGIONS raised its flag at 1 + i\n");
    return 1;
  }
  // Six decimals: 1 + i lies in the power-series region (relative error
  // below 3.6e-7), and w(1 + i) = 0.3047442052... + 0.2082189382...i.
  std::printf("w(1+1i) = %.6f + %.6fi\n", u, v);

  // GammaD = Gamma0 = 1, the rest 0: F(nu0) = c erfcx(c)/sqrt(pi) with
  // c = sqrt(ln 2), 0.2245554696...
  const double line[vorlan::kHtpArguments] = {1000.0, 1000.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  vorlan::HtpValue f{};
  vorlan::HTP_ELEMENT(line, false, f);
  std::printf("F(nu0) = %.6f\n", f.re);
  return 0;
}
