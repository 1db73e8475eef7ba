# Peak memory and stop latency against recording length, both programs:
#   gnuplot -e "data='build/bench/plot.dat'; output='build/bench/bench.png'" bench/plot.gp
# Points are medians, bars the smallest and largest run (columns: see plot.dat);
# the two programs are drawn a little apart so that their bars do not overlap.
set terminal pngcairo size 1100,450 font ",10"
set output output
set multiplot layout 1,2 title "tolvane and arecord on the same headless audio server"
set key bottom right
set grid
set xlabel "recording length (s)"
set logscale x
set xtics (1, 2, 5, 10, 30, 60)
stats data using 1 nooutput
set xrange [STATS_min * 0.8 : STATS_max * 1.25]

set title "peak resident memory"
set ylabel "MiB"
set yrange [0:*]
plot data using ($1*0.97):2:3:4 with yerrorlines title "tolvane", \
     data using ($1*1.03):8:9:10 with yerrorlines title "arecord"

set key top left
set title "stop latency (stop until exit, file saved)"
set ylabel "ms"
set yrange [0:*]
plot data using ($1*0.97):5:6:7 with yerrorlines title "tolvane", \
     data using ($1*1.03):11:12:13 with yerrorlines title "arecord", \
     50 with lines dashtype 2 linecolor "gray" title "target: 50 ms"

unset multiplot
