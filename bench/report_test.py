"""The goal checks and the run bookkeeping of bench/report.py."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import report  # noqa: E402


def summary(key, p50, p99, mean=None):
    return {key + "_p50": p50, key + "_p99": p99, key + "_mean": mean, key + "_count": 1}


def rows_by_name(figures):
    return {r["figure"]: r for r in report.rows_from(figures)}


class GoalChecks(unittest.TestCase):
    def test_render_p99_goal_is_two_microseconds_and_ratio_is_against_the_floor(self):
        for p99, met in ((2000, True), (2001, False)):
            figures = {"render": {**summary("ns", 500, p99), **summary("baseline_ns", 250, 1000)}}
            rows = rows_by_name(figures)
            self.assertEqual(rows["Render, p99"]["met"], met)
            self.assertEqual(rows["Render, p50"]["ratio"], 2.0)
            self.assertIsNone(rows["Render, p50"]["goal"])

    def test_pacing_mean_within_two_percent_and_p99_within_half_a_millisecond_of_the_ideal(self):
        def rows(mean, p99, ideal_p99):
            pacing = {"delay_ms": 16, **summary("interval_ms", 16, 17, mean),
                      **summary("deviation_ms", 0.1, p99),
                      **summary("baseline_interval_ms", 16, 16.5, 16),
                      **summary("baseline_deviation_ms", 0.1, ideal_p99)}
            return rows_by_name({"pacing_16": pacing})
        self.assertTrue(rows(16.3, 1.5, 1.0)["pacing 16 ms: mean interval"]["met"])
        self.assertFalse(rows(16.33, 1.5, 1.0)["pacing 16 ms: mean interval"]["met"])
        self.assertFalse(rows(15.6, 1.5, 1.0)["pacing 16 ms: mean interval"]["met"])
        self.assertTrue(rows(16, 1.5, 1.0)["pacing 16 ms: deviation from delay, p99"]["met"])
        self.assertFalse(rows(16, 1.51, 1.0)["pacing 16 ms: deviation from delay, p99"]["met"])

    def test_latency_goal_is_the_loops_floor_plus_two_and_a_frame_never_seen_is_no_verdict(self):
        def latency(p99, floor_p99):
            return {**summary("ms", 10, p99), **summary("floor_ms", 9, floor_p99),
                    **summary("remainder_ms", 0.5, 1), "frames_staged": 9}
        p99 = "staging to render, delay 10 ms, p99"
        self.assertTrue(rows_by_name({"latency_10": latency(20, 18)})[p99]["met"])
        self.assertFalse(rows_by_name({"latency_10": latency(20.1, 18)})[p99]["met"])
        self.assertIsNone(rows_by_name({"latency_10": latency(None, None)})[p99]["met"])

    def test_conversion_goal_is_two_microseconds_at_the_median(self):
        for p50, met in ((2000, True), (2001, False)):
            figures = {"conversion": {**summary("ns", p50, 3000), **summary("baseline_ns", 200, 300)}}
            self.assertEqual(rows_by_name(figures)["convert_audio_data per frame, p50"]["met"], met)

    def test_cpu_at_most_one_and_a_half_times_the_ideal_loop_and_failed_readings_unjudged(self):
        def met(measured, ideal):
            cpu = {"delay_ms": 33, "ms_per_s": measured, "baseline_ms_per_s": ideal}
            return rows_by_name({"cpu": cpu})["CPU per second, delay 33 ms"]["met"]
        self.assertTrue(met(15, 10))
        self.assertFalse(met(15.1, 10))
        self.assertIsNone(met(-1, 10))

    def test_start_allows_the_modules_own_init_and_stop_the_delay_plus_twenty(self):
        sections = {"initialize_call_ms": 1, "to_module_init_ms": 1, "init_to_first_render_ms": 1,
                    "to_module_quit_ms": 1, "after_module_quit_ms": 1}
        rows = rows_by_name({"start_stop": {"delay_ms": 33, "start_ms": 60, "module_init_ms": 12,
                                            "stop_ms": 54, **sections}})
        self.assertTrue(rows["start: Initialize to first render, delay 33 ms"]["met"])
        self.assertFalse(rows["stop: Finalize, delay 33 ms"]["met"])


class Runs(unittest.TestCase):
    def write(self, text):
        handle, path = tempfile.mkstemp()
        with os.fdopen(handle, "w") as out:
            out.write(text)
        self.addCleanup(os.remove, path)
        return path

    def test_a_program_that_printed_finished_counts_even_after_a_crash_at_exit(self):
        crashed = self.write('noise\r\nBENCH {"figure": "timer", "ns_p50": 5}\r\n'
                             'BENCH {"figure": "finished"}\r\n')
        cut_short = self.write('BENCH {"figure": "conversion", "ns_p50": 7}\n')
        figures, programs = report.read_runs([("a", crashed, "139"), ("b", cut_short, "0")])
        self.assertEqual(figures, {"timer": {"ns_p50": 5}, "conversion": {"ns_p50": 7}})
        self.assertEqual(programs, [{"program": "a", "exit_status": 139, "finished": True},
                                    {"program": "b", "exit_status": 0, "finished": False}])

    def test_missing_figures_show_as_dashes(self):
        line = report.table([report.row("x", None, "ns", 5.0)], "about").splitlines()[-1]
        self.assertEqual(line, "| x | - | 5 ns | - | - | - |")


if __name__ == "__main__":
    unittest.main()
