// Dense linear algebra of the stiff integrator: LU decomposition by Gaussian
// elimination with partial pivoting and the matching substitutions, for real
// and complex matrices in full, Hessenberg-like and banded storage, and the
// reduction of a real matrix to upper Hessenberg form.
//
// Storage: column by column with leading dimension ndim >= n, element (i, j)
// (0-based) at a[i + j*ndim]. A complex matrix is two real arrays of the same
// shape (real parts, imaginary parts); a complex vector two real vectors.
// Banded form (lower bandwidth ml, upper bandwidth mu): element (i, j) lies
// in band row i - j + ml + mu of column j; band rows 0 .. ml-1 receive the
// fill-in of row exchanges, so ndim >= 2*ml + mu + 1.
//
// Pivot vector ip (n entries): ip[k], k < n-1, is the 0-based row exchanged
// with row k at stage k (k itself when there was none; for the banded forms
// the matrix row, not the band row); ip[n-1] is (-1)^(number of exchanges),
// or 0 when the matrix was found singular.
// ier: 0 when the decomposition completed, otherwise the 1-based stage at
// which a zero pivot was met (n when it is the last diagonal element).
//
// Factors: U on and above the diagonal, the multipliers below it with their
// sign reversed (the solve adds). A row exchange of stage k is applied to
// columns k .. n-1 only, so factors must be solved by the solve of the same
// family. Solves test nothing and expect factors with ier == 0.
#pragma once

namespace kx {

void DecomposeReal(int n, int ndim, double* a, int* ip, int& ier);
void SolveReal(int n, int ndim, const double* a, double* b, const int* ip);
void DecomposeComplex(int n, int ndim, double* ar, double* ai, int* ip, int& ier);
void SolveComplex(int n, int ndim, const double* ar, const double* ai, double* br, double* bi,
                  const int* ip);

// Hessenberg-like form: a(i, j) = 0 for i > j + lb.
void DecomposeRealHessenberg(int n, int ndim, double* a, int lb, int* ip, int& ier);
void SolveRealHessenberg(int n, int ndim, const double* a, int lb, double* b, const int* ip);
void DecomposeComplexHessenberg(int n, int ndim, double* ar, double* ai, int lb, int* ip,
                                int& ier);
void SolveComplexHessenberg(int n, int ndim, const double* ar, const double* ai, int lb,
                            double* br, double* bi, const int* ip);

void DecomposeRealBanded(int n, int ndim, double* a, int ml, int mu, int* ip, int& ier);
void SolveRealBanded(int n, int ndim, const double* a, int ml, int mu, double* b, const int* ip);
void DecomposeComplexBanded(int n, int ndim, double* ar, double* ai, int ml, int mu, int* ip,
                            int& ier);
void SolveComplexBanded(int n, int ndim, const double* ar, const double* ai, int ml, int mu,
                        double* br, double* bi, const int* ip);

// Stabilised elementary similarity reduction of rows and columns
// low .. igh (0-based, inclusive) of the matrix a (leading dimension nm, n
// columns) to upper Hessenberg form. The multipliers stay in the eliminated
// positions below the first subdiagonal; interchanges[m] is the row that was
// exchanged with row m at stage m (written for m = low+1 .. igh-1).
void ReduceToHessenberg(int nm, int n, int low, int igh, double* a, int* interchanges);

}  // namespace kx
