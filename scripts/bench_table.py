"""Reads the JSON results of scripts/bench.sh and prints the table of targets."""
import json
import os
import sys

# (program, benchmark, operation, target in ms or None)
ROWS = [
    ("invoices", "ListFill_All", "Liste des factures, toutes, remplie et affichée", 30),
    ("invoices", "FilterChange", "Liste des factures, changement de filtre", 30),
    ("invoices", "ListRows_Read", "— plancher : lecture des lignes seule", None),
    ("invoices", "ListGrid_Core", "Grille texte des factures (commandes, tableur)", None),
    ("invoices", "ExportWholeList", "Tableur de toutes les factures", 1000),
    ("reservation", "MonthStates_Indexed", "Mois rempli, états", 1),
    ("reservation", "MonthNames_Indexed", "Mois rempli, noms", 1),
    ("reservation", "MonthNames_BareSqlite", "— plancher : la requête du mois, SQLite seul", None),
    ("reservation", "WeekStates_Indexed", "Semaine remplie, états", 1),
    ("reservation", "YearStatistics_Indexed", "Une année de statistiques", 8),
    ("reservation", "YearStatistics_BareSqlite", "— plancher : la même requête, SQLite seul", None),
    ("reservation", "FreeRooms_Indexed", "Chambres libres sur 14 nuits", 0.5),
    ("reservation", "CreateStay_Transaction", "Séjour de 7 nuits enregistré", 5),
    ("engines", "WeekStates_Sqlite", "Semaine remplie, SQLite (même passe)", 1),
    ("engines", "WeekStates_Postgresql", "Semaine remplie, PostgreSQL (socket Unix)", 2),
    ("engines", "CreateStay_Sqlite", "Séjour de 7 nuits enregistré, SQLite (même passe)", 5),
    ("engines", "CreateStay_Postgresql", "Séjour de 7 nuits enregistré, PostgreSQL", 10),
    ("statistics", "YearChange", "Statistiques, changement d'année, dessiné", 16),
    ("statistics", "Measure_Change_Drawn", "Statistiques, changement de mesure, dessiné", 16),
    ("planning_view", "Month_Names_Drawn", "Mois dessiné avec les noms", 16),
    ("planning_view", "Month_States_Drawn", "Mois dessiné, états", 16),
    ("planning_view", "Week_Names_Drawn", "Semaine dessinée avec les noms", 16),
    ("startup", "Startup_FirstPaint", "Lancement jusqu'à la fenêtre principale dessinée", 250),
    ("clients", "List_AllClients", "Liste des clients, toute la liste affichée", 16),
    ("clients", "List_Keystroke", "Liste des clients, une frappe", 10),
    ("clients", "Card_Regular", "Fiche d'un client habitué", 20),
    ("documents", None, None, None),
    ("pdf", None, None, None),
    ("archive", None, None, None),
]


def to_ms(value, unit):
    return value * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[unit]


def medians(path):
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError):
        return {}
    out = {}
    for b in data.get("benchmarks", []):
        if b.get("aggregate_name", "median") != "median":
            continue
        name = b.get("run_name", b["name"]).split("/")[0]
        unit = b.get("time_unit", "ns")
        # A benchmark that launches the program reports the program's own CPU
        # time in its counter cpu_ms (its cpu_time is the launcher's).
        cpu = b["cpu_ms"] if "cpu_ms" in b else to_ms(b["cpu_time"], unit)
        out[name] = (cpu, to_ms(b["real_time"], unit))
    return out


def fmt(ms):
    if ms < 1:
        return f"{ms * 1000:.0f} µs"
    if ms >= 1000:
        return f"{ms / 1000:.3g} s".replace(".", ",")
    return f"{ms:.3g} ms".replace(".", ",")


def main():
    folder = sys.argv[1]
    results = {}
    print("| Opération | médiane CPU | médiane réelle | cible | |")
    print("|---|---|---|---|---|")
    for program, bench, label, target in ROWS:
        if program not in results:
            results[program] = medians(os.path.join(folder, f"bench_{program}.json"))
        got = results[program]
        names = [bench] if bench else sorted(got)
        for name in names:
            cpu, wall = got.get(name, (None, None))
            text = label or name
            if cpu is None:
                print(f"| {text} | — | — | {'' if target is None else '≤ ' + fmt(target)} | absent |")
                continue
            verdict = "" if target is None else ("atteinte" if cpu <= target else "non atteinte")
            print(f"| {text} | {fmt(cpu)} | {fmt(wall)} | {'' if target is None else '≤ ' + fmt(target)} | {verdict} |")


if __name__ == "__main__":
    main()
