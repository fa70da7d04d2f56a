#include "analysis/LinearSystem.h"

#include <cmath>
#include <utility>

namespace kyklos {

namespace {
constexpr int kMaxOrder = 4;
// Stands in for an exactly zero pivot so that the substitution stays finite.
constexpr double kTinyPivot = 1e-20;
} // namespace

bool SolveLinearSystem(double A[][4], int n, double x[])
{
    if (n < 1 || n > kMaxOrder) return false;
    double scale[kMaxOrder];
    int pivot[kMaxOrder];

    // Implicit scaling: each row is weighed by its largest entry.
    for (int i = 0; i < n; ++i) {
        double big = 0.0;
        for (int j = 0; j < n; ++j) {
            const double v = std::fabs(A[i][j]);
            if (v > big) big = v;
        }
        if (big == 0.0) return false;
        scale[i] = 1.0 / big;
    }

    // Crout's method, column by column.
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = A[i][j];
            for (int k = 0; k < i; ++k) sum -= A[i][k] * A[k][j];
            A[i][j] = sum;
        }
        double largest = 0.0;
        int p = j; // stays j when no candidate compares (not-a-number entries)
        for (int i = j; i < n; ++i) {
            double sum = A[i][j];
            for (int k = 0; k < j; ++k) sum -= A[i][k] * A[k][j];
            A[i][j] = sum;
            const double candidate = scale[i] * std::fabs(sum);
            if (candidate >= largest) {
                largest = candidate;
                p = i;
            }
        }
        if (p != j) {
            for (int k = 0; k < n; ++k) std::swap(A[p][k], A[j][k]);
            scale[p] = scale[j];
        }
        pivot[j] = p;
        if (A[j][j] == 0.0) A[j][j] = kTinyPivot;
        if (j < n - 1) {
            const double inverse = 1.0 / A[j][j];
            for (int i = j + 1; i < n; ++i) A[i][j] *= inverse;
        }
    }

    // Forward substitution; leading zeros of the permuted right-hand side are skipped.
    int first = -1;
    for (int i = 0; i < n; ++i) {
        const int p = pivot[i];
        double v = x[p];
        x[p] = x[i];
        if (first >= 0) {
            for (int k = first; k < i; ++k) v -= A[i][k] * x[k];
        } else if (v != 0.0) {
            first = i;
        }
        x[i] = v;
    }
    // Back substitution.
    for (int i = n - 1; i >= 0; --i) {
        double v = x[i];
        for (int k = i + 1; k < n; ++k) v -= A[i][k] * x[k];
        x[i] = v / A[i][i];
    }
    return true;
}

} // namespace kyklos
