// Bodies: wires of curves, their end vertices, prisms swept from them, the error trap, projection onto a
// body and the writers.
#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "KernelTestCurves.h"
#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoVertex.h"
#include "TestStep.h"
#include "TAQMoWire.h"
#include "VORBody.h"
#include "VORBodyWriter.h"
#include "VORError.h"
#include "VORPGMCreateTopPrism.h"
#include "VORSoftwareConfiguration.h"
#include "VORTopData.h"
#include "VORVertex.h"

namespace {

struct Kernel {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  VORTopData topData{&config, nullptr};

  VORBody* Wire(VORListPtrVORCurve curves, VORRawCollint orientations = VORRawCollint(), bool closed = false) {
    return TAQMoWire::MakeWireFromCurves(&factory, curves, orientations, &topData, closed).Get();
  }
  // A wire of the one straight line from the origin to (10, 0, 0).
  VORBody* LineWire() {
    VORListPtrVORCurve curves;
    curves.Append(MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0)));
    return Wire(curves);
  }
  // The prism of profile along direction from start to end, or null when the operator refused or failed.
  VORBody* Prism(VORBody* profile, const VORMathVector& direction, double start, double end) {
    VORTopPrism* op = VORPGMCreateTopPrism(&factory, &topData, profile, direction, start, end);
    if (!op) return nullptr;
    op->Run();
    VORBody* result = op->GetResult();
    op->Release();
    return result;
  }
};

std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

// Curves joined within the resolution, one run backwards, make a valid wire whose end vertices and
// tangents are the chain's. Gaps, null curves, no curves, closing what is open and a null factory are
// refused, and leave no body in the factory.
TEST(Wire, OfJoinedCurvesIsValidWithTheChainsEndsAndRefusesGapsNullCurvesAndEmptyLists) {
  Kernel k;
  VORListPtrVORCurve gapped, withNull, empty, open;
  gapped.Append(MakeLine(k.factory, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0)));
  gapped.Append(MakeLine(k.factory, VORMathPoint(10.01, 0, 0), VORMathPoint(20, 0, 0)));
  withNull.Append(nullptr);
  open.Append(gapped[1]);
  for (const VORListPtrVORCurve& bad : {gapped, withNull, empty}) EXPECT_EQ(k.Wire(bad), nullptr);
  EXPECT_EQ(k.Wire(open, VORRawCollint(), true), nullptr);
  EXPECT_TRUE(TAQMoWire::MakeWireFromCurves(VORGeoFactory_var(), open, VORRawCollint(), &k.topData, false).IsNull());
  EXPECT_EQ(k.factory.GetBodyCount(), 0);
  VORVertex* start = nullptr;
  VORVertex* end = nullptr;
  VORMathPoint p0, p1;
  EXPECT_EQ(TAQMoWire::GetWireBodyEndVertices(nullptr, start, end, nullptr, nullptr), 0);
  EXPECT_FALSE(TAQMoVertex::GetPoint(nullptr, p0));

  VORListPtrVORCurve curves;
  curves.Append(gapped[1]);
  curves.Append(MakeLine(k.factory, VORMathPoint(10, 10, 0), VORMathPoint(10, 0.0005, 0)));
  VORRawCollint orientations;
  orientations.Append(1);
  orientations.Append(-1);
  VORBody* wire = k.Wire(curves, orientations);
  ASSERT_NE(wire, nullptr);
  EXPECT_EQ(wire->GetKind(), VORBody::Wire);
  EXPECT_TRUE(wire->IsValid());
  EXPECT_EQ(wire->GetEdgeCount(), 2);
  EXPECT_EQ(wire->GetVertexCount(), 3);
  EXPECT_TRUE(k.factory.Contains(wire));
  VORMathVector t0, t1;
  ASSERT_NE(TAQMoWire::GetWireBodyEndVertices(wire, start, end, &t0, &t1), 0);
  ASSERT_TRUE(TAQMoVertex::GetPoint(start, p0));
  ASSERT_TRUE(TAQMoVertex::GetPoint(end, p1));
  EXPECT_LT(p0.DistanceTo(VORMathPoint(0, 0, 0)), 1e-9);
  EXPECT_LT(p1.DistanceTo(VORMathPoint(10, 10, 0)), 1e-9);
  EXPECT_LT((t0 - VORMathVector(1, 0, 0)).GetNorm(), 1e-9);
  EXPECT_LT((t1 - VORMathVector(0, 1, 0)).GetNorm(), 1e-9);  // along the wire, against the curve
}

TEST(Wire, ClosedSquareIsClosedAndExtrudesToFourFaces) {
  Kernel k;
  const VORMathPoint a(0, 0, 0), b(4, 0, 0), c(4, 4, 0), d(0, 4, 0);
  VORListPtrVORCurve curves, ordered;
  curves.Append(MakeLine(k.factory, a, b));
  curves.Append(MakeLine(k.factory, c, d));
  curves.Append(MakeLine(k.factory, b, c));
  curves.Append(MakeLine(k.factory, a, d));
  VORRawCollint orientations;
  bool closed = false;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::OrderCurves(curves, ordered, orientations, &closed));
  VORBody* wire = k.Wire(curves, orientations, closed);
  ASSERT_NE(wire, nullptr);
  EXPECT_TRUE(wire->IsValid());
  EXPECT_EQ(wire->GetVertexCount(), 4);
  // A closed wire extruded is a shell of four faces round the square.
  VORBody* prism = k.Prism(wire, VORMathVector(0, 0, 1), 0.0, 2.0);
  ASSERT_NE(prism, nullptr);
  EXPECT_EQ(prism->GetFaceCount(), 4);
  EXPECT_TRUE(prism->IsValid());
}

TEST(PrismErrors, ModelerFailureSurfacesAsAFlushableError) {
  Kernel k;
  VORBody* wire = k.LineWire();
  ASSERT_NE(wire, nullptr);
  // A sweep of zero length: the modeler cannot make a direction of it and raises its own failure.
  VORTopPrism* op = VORPGMCreateTopPrism(&k.factory, &k.topData, wire, VORMathVector(0, 0, 1), 3.0, 3.0);
  ASSERT_NE(op, nullptr);
  bool trapped = false;
  try {
    op->Run();
  } catch (VORError& error) {
    trapped = true;
    EXPECT_NE(std::string(error.GetMessage()).find("Standard_"), std::string::npos) << error.GetMessage();
    error.Flush();
    EXPECT_TRUE(error.IsFlushed());
    EXPECT_STREQ(error.GetMessage(), "");
  }
  EXPECT_TRUE(trapped);
  EXPECT_EQ(op->GetResult(), nullptr);
  op->Release();
  EXPECT_EQ(k.factory.GetBodyCount(), 1);  // only the wire
}

TEST(PrismErrors, OperatorRefusesMissingOrDegenerateInput) {
  Kernel k;
  VORBody* wire = k.LineWire();
  EXPECT_EQ(VORPGMCreateTopPrism(nullptr, &k.topData, wire, VORMathVector(0, 0, 1), 0, 1), nullptr);
  EXPECT_EQ(VORPGMCreateTopPrism(&k.factory, nullptr, wire, VORMathVector(0, 0, 1), 0, 1), nullptr);
  EXPECT_EQ(VORPGMCreateTopPrism(&k.factory, &k.topData, nullptr, VORMathVector(0, 0, 1), 0, 1), nullptr);
  EXPECT_EQ(VORPGMCreateTopPrism(&k.factory, &k.topData, wire, VORMathVector(0, 0, 0), 0, 1), nullptr);
  EXPECT_EQ(VORPGMCreateTopPrism(&k.factory, &k.topData, wire, VORMathVector(0, std::nan(""), 1), 0, 1), nullptr);
  VORTopPrism* op = VORPGMCreateTopPrism(&k.factory, &k.topData, wire, VORMathVector(0, 0, 1), 0, std::nan(""));
  ASSERT_NE(op, nullptr);
  EXPECT_THROW(op->Run(), VORError);
  op->Release();
}

TEST(ProjectionOntoBody, PiecesLieOnTheFacesAndNumberTheConnectedRuns) {
  Kernel k;
  // An L-shaped wall: two planar faces, x = 0..10 at y = 0 and y = 0..10 at x = 10, z = 0..5.
  VORListPtrVORCurve profile;
  profile.Append(MakeLine(k.factory, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0)));
  profile.Append(MakeLine(k.factory, VORMathPoint(10, 0, 0), VORMathPoint(10, 10, 0)));
  VORBody* wall = k.Prism(k.Wire(profile), VORMathVector(0, 0, 1), 0.0, 5.0);
  ASSERT_NE(wall, nullptr);
  ASSERT_EQ(wall->GetFaceCount(), 2);
  // A curve in front of both faces, at height 2.5: its projection runs over both and stays connected.
  VORListValVORMathPoint poles;
  for (const VORMathPoint& p : {VORMathPoint(2, -3, 2.5), VORMathPoint(8, -3, 2.5), VORMathPoint(13, 2, 2.5),
                                VORMathPoint(13, 8, 2.5)})
    poles.Append(p);
  VORCurve* curve = MakeUniformBSpline(k.factory, poles);
  VORListPtrVORCurve pieces;
  VORRawCollint indices;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::GetProjection(&k.config, wall, curve, 0.0, 1.0, pieces, indices));
  ASSERT_GE(pieces.Size(), 2);
  ASSERT_EQ(indices.Size(), pieces.Size());
  for (int i = 1; i <= pieces.Size(); ++i) {
    EXPECT_EQ(indices[i], 1);
    EXPECT_EQ(pieces[i]->GetFactory(), &k.factory);
    for (double f : {0.0, 0.5, 1.0}) {
      const double u0 = pieces[i]->GetStartLimit().GetParam(), u1 = pieces[i]->GetEndLimit().GetParam();
      const VORMathPoint p = pieces[i]->EvalPoint(VORCrvParam(u0 + f * (u1 - u0)));
      EXPECT_TRUE(std::fabs(p.GetY()) < 1e-3 || std::fabs(p.GetX() - 10.0) < 1e-3) << p.GetX() << " " << p.GetY();
      EXPECT_NEAR(p.GetZ(), 2.5, 1e-3);
    }
  }
  // In the curve's direction: the first piece starts on the x face, the last ends on the y face.
  const VORMathPoint first = pieces[1]->EvalPoint(pieces[1]->GetStartLimit());
  const VORMathPoint last = pieces[pieces.Size()]->EvalPoint(pieces[pieces.Size()]->GetEndLimit());
  EXPECT_LT(first.GetX(), 5.0);
  EXPECT_GT(last.GetY(), 5.0);
  // They tessellate into one piece of polyline.
  VORRawCollint splits;
  VORListValVORMathPoint points;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(pieces, indices, splits, points, 0.1, 3.0, false));
  EXPECT_EQ(splits.Size(), 1);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::GetProjection(&k.config, nullptr, curve, 0.0, 1.0, pieces, indices));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::GetProjection(&k.config, wall, curve, 0.5, 0.5, pieces, indices));
  EXPECT_EQ(pieces.Size(), 0);
}

// A real stroke's prism spans the limits along a direction that need not be a unit, and leaves its profile
// alone. Its STEP file reads back with the same box and the writer prints nothing; BREP and STL are written.
TEST(Writers, APrismOfARealStrokeIsWrittenAndReadsBackWithTheSameBox) {
  Kernel k;
  VORListPtrVORCurve curves;
  curves.Append(MakeUniformBSpline(k.factory, LoadStrokePoints(StrokeFiles("real").front())));
  VORBody* wire = k.Wire(curves);
  VORBody* prism = k.Prism(wire, VORMathVector(0, 0, 2), -1.5, 4.0);
  ASSERT_NE(prism, nullptr);
  EXPECT_TRUE(k.factory.Contains(wire));
  VORMathPoint lo, hi;
  ASSERT_TRUE(prism->GetBoundingBox(lo, hi));
  EXPECT_NEAR(lo.GetZ(), -1.5, 1e-6);
  EXPECT_NEAR(hi.GetZ(), 4.0, 1e-6);
  const std::string step = TempPath("kernel-prism.step"), brep = TempPath("kernel-prism.brep"),
                    stl = TempPath("kernel-prism.stl");
  ::testing::internal::CaptureStdout();
  const bool written = VORBodyWriter::WriteSTEP(prism, step.c_str());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  ASSERT_TRUE(written);
  EXPECT_TRUE(StepHasBox(step, lo, hi, 1e-4));
  EXPECT_TRUE(VORBodyWriter::WriteBREP(prism, brep.c_str()));
  EXPECT_TRUE(VORBodyWriter::WriteSTL(prism, stl.c_str(), 0.05));
  for (const std::string& file : {brep, stl}) EXPECT_GT(std::ifstream(file, std::ios::ate).tellg(), 84) << file;
  for (const std::string& file : {step, brep, stl}) std::remove(file.c_str());
}

TEST(Writers, FailureLeavesNoFile) {
  Kernel k;
  VORBody* wire = k.LineWire();
  const std::string missingFolder = TempPath("no-such-folder/kernel.step");
  EXPECT_FALSE(VORBodyWriter::WriteSTEP(wire, missingFolder.c_str()));
  EXPECT_FALSE(VORBodyWriter::WriteBREP(wire, missingFolder.c_str()));
  EXPECT_FALSE(FileExists(missingFolder));
  const std::string stl = TempPath("kernel-bad.stl");
  EXPECT_FALSE(VORBodyWriter::WriteSTL(wire, stl.c_str(), 0.0));  // no usable deflection
  EXPECT_FALSE(FileExists(stl));
  EXPECT_FALSE(VORBodyWriter::WriteSTEP(nullptr, stl.c_str()));
  EXPECT_FALSE(VORBodyWriter::WriteBREP(wire, nullptr));
}

}  // namespace
