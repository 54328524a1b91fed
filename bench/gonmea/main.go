// Reference decoder for the sentence check comparison: parses every line of a file with the open
// go-nmea library and prints the count per sentence type and the count of lines it refused.
// Built offline against the Debian package of the library (see ../compare_nmea_check.sh).
package main

import (
	"bufio"
	"fmt"
	"os"
	"sort"

	nmea "github.com/adrianmo/go-nmea"
)

func main() {
	if len(os.Args) != 2 {
		fmt.Fprintln(os.Stderr, "usage: gonmea FILE")
		os.Exit(2)
	}
	file, err := os.Open(os.Args[1])
	if err != nil {
		fmt.Fprintln(os.Stderr, err)
		os.Exit(2)
	}
	defer file.Close()

	counts := map[string]int{}
	refused := 0
	lines := 0
	scanner := bufio.NewScanner(bufio.NewReaderSize(file, 1<<20))
	for scanner.Scan() {
		lines++
		sentence, err := nmea.Parse(scanner.Text())
		if err != nil {
			refused++
			continue
		}
		counts[sentence.DataType()]++
	}
	types := make([]string, 0, len(counts))
	for t := range counts {
		types = append(types, t)
	}
	sort.Strings(types)
	for _, t := range types {
		fmt.Printf("%-10s %d\n", t, counts[t])
	}
	fmt.Printf("lines %d, refused %d\n", lines, refused)
}
