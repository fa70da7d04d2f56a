#include "document/FakeUi.h"
#include "document/KyklosDoc.h"

#include <gtest/gtest.h>

#include <string>

namespace kyklos {
namespace {

UncertaintyRequest SmallRequest()
{
    UncertaintyRequest request;
    request.Model.ProbeNoiseUm = 0.5;
    request.Draws = 40;
    return request;
}

// The demonstration's selected RONt in micrometres, and the document with one simulation kept.
struct SimulatedDocument {
    FakeUi ui;
    FakeProgress progress;
    CKyklosDoc doc{&ui};
    double rontUm = 0.0, expandedUm = 0.0;

    SimulatedDocument()
    {
        doc.SetProgressPort(&progress);
        EXPECT_EQ(doc.ComputeUncertainty(SmallRequest()), UncertaintyStatus::Done);
        rontUm = *doc.Result.Evaluation.Selected().RONt * 1000.0;
        expandedUm = doc.Uncertainty ? *doc.Uncertainty->ExpandedUncertainty * 1000.0 : 0.0;
    }
};

TEST(DocumentUncertainty, KeptForItsAnalysisAndJudgedAgainWithTheTolerance)
{
    SimulatedDocument s;
    ASSERT_TRUE(s.doc.Uncertainty);
    EXPECT_TRUE(s.progress.shown);
    EXPECT_EQ(s.ui.redraws, 1);
    EXPECT_EQ(s.doc.Uncertainty->Draws, 40);
    EXPECT_GT(s.expandedUm, 0.0);
    EXPECT_EQ(s.doc.Uncertainty->Decision, ConformityDecision::None);

    // Beyond RONt + U, between RONt − U and RONt + U, below RONt − U.
    const std::pair<double, ConformityDecision> cases[] = {
        {s.rontUm + 2.0 * s.expandedUm, ConformityDecision::Conforms},
        {s.rontUm, ConformityDecision::Undecided},
        {s.rontUm - 2.0 * s.expandedUm, ConformityDecision::DoesNotConform}};
    for (const auto& [toleranceUm, decision] : cases) {
        s.doc.SetTolerance(RoundnessTolerance{toleranceUm, true});
        EXPECT_EQ(s.doc.Uncertainty->Decision, decision) << toleranceUm;
    }
    // Judged again, not simulated again.
    EXPECT_EQ(*s.doc.Uncertainty->ExpandedUncertainty * 1000.0, s.expandedUm);
    s.doc.SetTolerance(std::nullopt);
    EXPECT_EQ(s.doc.Uncertainty->Decision, ConformityDecision::None);
}

TEST(DocumentUncertainty, CancelKeepsTheLastOneAndANewAnalysisOrProfileDropsIt)
{
    SimulatedDocument s;
    const UncertaintyResult before = *s.doc.Uncertainty;
    s.progress.updates = 0;
    s.progress.cancelAtUpdate = 1;
    UncertaintyRequest more = SmallRequest();
    more.Draws = 100000;
    EXPECT_EQ(s.doc.ComputeUncertainty(more), UncertaintyStatus::Cancelled);
    ASSERT_TRUE(s.doc.Uncertainty);
    EXPECT_EQ(s.doc.Uncertainty->Draws, before.Draws);
    s.progress.cancelAtUpdate = -1;

    s.ui.referenceAnswer = ReferenceIndex(ReferenceKind::MinimumZone);
    s.doc.OnAnalysisReferenceCircle();
    EXPECT_FALSE(s.doc.Uncertainty);

    ASSERT_EQ(s.doc.ComputeUncertainty(SmallRequest()), UncertaintyStatus::Done);
    s.doc.OpenProfile(std::string(KYKLOS_SOURCE_DIR) + "/samples/shaft.kyk");
    EXPECT_TRUE(s.doc.AnalysisValid);
    EXPECT_FALSE(s.doc.Uncertainty);

    // Without an analysed profile there is nothing to simulate: a message, and nothing kept.
    ASSERT_EQ(s.doc.ComputeUncertainty(SmallRequest()), UncertaintyStatus::Done);
    s.doc.DataLoaded = false;
    s.doc.AnalysisValid = false;
    s.ui.messages.clear();
    EXPECT_EQ(s.doc.ComputeUncertainty(SmallRequest()), UncertaintyStatus::NotAnalysed);
    EXPECT_EQ(s.ui.messages.size(), 1u);
    s.doc.OnFileNew();
    EXPECT_FALSE(s.doc.Uncertainty);
}

} // namespace
} // namespace kyklos
