// The jelly polyhedron: body, springs, kicks and drawing.
#include "../content/dode.cpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <numeric>
#include <vector>

#include "gltest.h"

namespace {

// A unit box from (1, 2, 3): off the origin, so that recentring shows.
std::vector<glm::vec3> box()
{
	std::vector<glm::vec3> v;
	for (int i = 0; i < 8; i++)
		v.push_back(glm::vec3(1 + (i & 1), 2 + ((i >> 1) & 1), 3 + ((i >> 2) & 1)));
	return v;
}

const int box_faces[12][3] = {
	{ 0, 2, 1 }, { 1, 2, 3 }, { 4, 5, 6 }, { 5, 7, 6 }, { 0, 1, 4 }, { 1, 5, 4 },
	{ 2, 6, 3 }, { 3, 6, 7 }, { 0, 4, 2 }, { 2, 4, 6 }, { 1, 3, 5 }, { 3, 7, 5 },
};

// Writes dode.obj into a fresh directory, makes it the working directory
// and resets the body.
void model_dir(const std::vector<glm::vec3>& v, int faces = 12)
{
	char dir[] = "/tmp/dode_XXXXXX";
	ASSERT_NE(mkdtemp(dir), nullptr);
	ASSERT_EQ(chdir(dir), 0);
	FILE* f = fopen("dode.obj", "w");
	for (const glm::vec3& p : v)
		fprintf(f, "v %f %f %f\n", p.x, p.y, p.z);
	fprintf(f, "vt 0 0\nvn 0 0 1\n");
	for (int i = 0; i < faces; i++) {
		const int* t = box_faces[i % 12];
		fprintf(f, "f %i/1/1 %i/1/1 %i/1/1\n", t[0] + 1, t[1] + 1, t[2] + 1);
	}
	fclose(f);
	vertexpair_count = 0;
	lb = -1;
	app[0] = app[1] = app[2] = 0;
	for (glm::vec3& vel : vertexes_vel)
		vel = glm::vec3(0.0f);
}

void build(const std::vector<glm::vec3>& v, int faces = 12)
{
	model_dir(v, faces);
	dodeobu = new model_c("dode.obj");
	makeobu();
}

glm::vec3 sum(const glm::vec3* a)
{
	return std::accumulate(a, a + vertex_count, glm::vec3(0.0f));
}

float worst_stretch()
{
	float w = 0.0f;
	for (int p = 0; p < vertexpair_count; p++) {
		float len = glm::distance(vertexes[vertexpairs[p].v1], vertexes[vertexpairs[p].v2]);
		w = fmaxf(w, fabsf(len - vertexpair_dist[p]));
	}
	return w;
}

}  // namespace

TEST(Dode, BodyHasOneSpringPerPairAndPrivateCorners)
{
	build(box());
	EXPECT_EQ(vertexpair_count, 28);
	EXPECT_FLOAT_EQ(vertexpair_dist[6], sqrtf(3.0f));  // 0-7, the diagonal
	ASSERT_EQ(polyidx_count, 36);
	EXPECT_EQ(polyidx[35], 35u);
	EXPECT_EQ(vertex_double[34], box_faces[11][1]);
}

TEST(Dode, RestingBodyStaysAtRestAndRecentresOnItsMean)
{
	build(box());
	recentre();
	EXPECT_NEAR(glm::length(sum(vertexes)), 0.0f, 1e-5f);
	EXPECT_NEAR(vertexes[7].x, 0.5f, 1e-6f);
	std::vector<glm::vec3> before(vertexes, vertexes + vertex_count);
	for (int s = 0; s < 200; s++)
		step_springs();
	for (int i = 0; i < vertex_count; i++)
		EXPECT_EQ(vertexes[i], before[i]) << i;
	// a drift of the whole body stretches nothing and decays by 0.96 a step
	glm::vec3 drift(0.01f, -0.02f, 0.005f);
	for (int i = 0; i < vertex_count; i++)
		vertexes_vel[i] = drift;
	step_springs();
	step_springs();
	for (int i = 0; i < vertex_count; i++) {
		EXPECT_NEAR(glm::distance(vertexes_vel[i], drift * 0.9216f), 0.0f, 1e-7f);
		EXPECT_NEAR(glm::distance(vertexes[i], before[i] + drift * 1.96f), 0.0f, 1e-5f);
	}
}

TEST(Dode, SpringsPullADentBackEquallyAndOppositely)
{
	build(box());
	vertexes[3] += glm::vec3(0.3f, -0.2f, 0.25f);
	float dent = worst_stretch();
	glm::vec3 centre = sum(vertexes);
	for (int s = 0; s < 3000; s++) {
		step_springs();
		ASSERT_NEAR(glm::length(sum(vertexes_vel)), 0.0f, 1e-5f) << s;
	}
	EXPECT_LT(worst_stretch(), dent * 0.05f);
	EXPECT_NEAR(glm::distance(sum(vertexes), centre), 0.0f, 1e-3f);
}

TEST(Dode, JitterOncePerNewWholeBeatAndKicksWithoutSteps)
{
	build(box());
	frameskip = 0;
	beatgrid = -0.5f;  // whole beat -1 is the initial last beat
	solve_vertexpairs();
	EXPECT_EQ(app[0], 0);
	std::vector<glm::vec3> before(vertexes, vertexes + vertex_count);
	beatgrid = 0.25f;
	solve_vertexpairs();
	EXPECT_EQ(app[0], 1);  // raised by 2, one frame used
	// the jitter reached the velocities, but without a step nothing moved
	EXPECT_GT(glm::length(vertexes_vel[0]) + glm::length(vertexes_vel[7]), 0.0f);
	for (int i = 0; i < vertex_count; i++)
		EXPECT_NEAR(glm::distance(vertexes[i], before[i]), 0.0f, 1e-6f);
	frameskip = 1;
	beatgrid = 0.75f;
	solve_vertexpairs();
	solve_vertexpairs();
	EXPECT_EQ(app[0], 0);
	beatgrid = 5.1f;  // four beats skipped: still a single +2
	solve_vertexpairs();
	EXPECT_EQ(app[0], 1);
	beatgrid = 6.0f;
	solve_vertexpairs();
	EXPECT_EQ(app[0], 2);
	EXPECT_NEAR(glm::length(sum(vertexes)), 0.0f, 1e-5f);
}

TEST(Dode, EventsSwirlForTenThenTwoFrames)
{
	build(box());
	frameskip = 1;
	beatgrid = 224.2f;
	for (int f = 0; f < 5; f++) {
		solve_vertexpairs();
		sync_ack();
	}
	EXPECT_EQ(app[2], 5);
	beatgrid = 232.5f;
	solve_vertexpairs();
	sync_ack();
	EXPECT_EQ(app[2], 6);
}

TEST(Dode, CoincidentVertexesGiveNoNaN)
{
	std::vector<glm::vec3> v = box();
	v[5] = v[4];  // the spring 4-5 has no direction, triangle 5 no normal
	build(v);
	vertexes_vel[2] = glm::vec3(0.01f, 0.0f, 0.0f);
	for (int s = 0; s < 50; s++)
		step_springs();
	for (int i = 0; i < vertex_count; i++)
		ASSERT_TRUE(std::isfinite(glm::length(vertexes[i]) + glm::length(vertexes_vel[i]))) << i;
	glm::vec3* c = calculate_polyverts();
	c[0] = c[1] = c[2];
	glm::vec3* n = calculate_polynormals(c);
	EXPECT_EQ(n[0], glm::vec3(0.0f));
	EXPECT_NEAR(glm::length(n[3]), 1.0f, 1e-6f);
}

TEST(DodeDeathTest, ModelsBeyondTheLimitsStopWithAMessage)
{
	std::vector<glm::vec3> many;
	for (int i = 0; i < 92; i++)  // 4186 pairs
		many.push_back(glm::vec3(i, i * i % 7, i % 3));
	const char* springs = "dode.obj: 92 vertices, at most 91 fit \\(one spring per pair, 4096 springs\\)\n";
	EXPECT_EXIT(build(many), testing::ExitedWithCode(1), springs);
	many.resize(257, glm::vec3(1.0f));
	EXPECT_EXIT(build(many), testing::ExitedWithCode(1), "dode.obj: 257 vertices, at most 91 fit");
	EXPECT_EXIT(build(box(), 342), testing::ExitedWithCode(1), "dode.obj: 342 triangles, at most 341 fit\n");
	// 91 vertices make 4095 springs: the largest body that fits.
	many.resize(91);
	build(many);
	EXPECT_EQ(vertexpair_count, 91 * 90 / 2);
}

TEST(DodeGL, DrawsAGreenToBlueBodyLeftOfCentre)
{
	gltest_open();
	ASSERT_FALSE(HasFatalFailure());
	model_dir(box());
	effect.initgl();
	glClearColor(0, 0, 0, 0);
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	glEnable(GL_DEPTH_TEST);
	timeval = 1.0f;
	dode->run();
	glDisable(GL_DEPTH_TEST);
	std::vector<uint8_t> px = gltest_read(0, 0, 854, 480);
	int lit = 0;
	double sx = 0;
	for (size_t i = 0; i < px.size(); i += 4) {
		if (px[i] + px[i + 1] + px[i + 2] == 0)
			continue;
		lit++;
		sx += i / 4 % 854;
		// on the line from green (66, 152, 79) to blue (8, 92, 135)
		ASSERT_NEAR(px[i] - 8, (px[i + 1] - 92) * 58 / 60.0, 3) << i / 4;
		ASSERT_NEAR(px[i + 2] - 135, (px[i + 1] - 92) * -56 / 60.0, 3) << i / 4;
	}
	EXPECT_GT(lit, 2000);
	EXPECT_NEAR(sx / lit, 427 * (1 - 0.75 / (3 * tan(glm::radians(27.5)) * demo_aspect)), 25);
}
